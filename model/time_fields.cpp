// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/time_fields.h"

TimerConfig ShownConfiguration(const WindowModel& w) {
  TimerConfig config;
  for (const TimeBoxes& b : kTimeBoxes)
    config.*b.time = Hms{w.text(b.hours), w.text(b.minutes), w.text(b.seconds)};
  config.powerUpOn = w.value(Ctl::Option3);
  return config;
}

void ShowTimes(WindowModel& w, const TimerConfig& config) {
  for (const TimeBoxes& b : kTimeBoxes) {
    const Hms& time = *(config.*b.time);
    w.setText(b.seconds, time.seconds);
    w.setText(b.minutes, time.minutes);
    w.setText(b.hours, time.hours);
  }
}
