// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/time_fields.h"

TimerConfig ShownConfiguration(const WindowModel& w) {
  TimerConfig config;
  for (std::size_t i = 0; i < std::size(kTimeBoxes); ++i) {
    const TimeBoxes& b = kTimeBoxes[i];
    config.*kDeviceTimes[i] = Hms{w.text(b.hours), w.text(b.minutes), w.text(b.seconds)};
  }
  config.powerUpOn = w.value(Ctl::Option3);
  return config;
}

void ShowTimes(WindowModel& w, const TimerConfig& config) {
  for (std::size_t i = 0; i < std::size(kTimeBoxes); ++i) {
    const Hms& time = *(config.*kDeviceTimes[i]);
    w.setText(kTimeBoxes[i].seconds, time.seconds);
    w.setText(kTimeBoxes[i].minutes, time.minutes);
    w.setText(kTimeBoxes[i].hours, time.hours);
  }
}
