// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include "device/timer_config.h"
#include "model/window_model.h"

// The window's text boxes of the three times, in device order.
struct TimeBoxes {
  std::optional<Hms> TimerConfig::*time;
  Ctl seconds, minutes, hours;
};
inline constexpr TimeBoxes kTimeBoxes[] = {
    {&TimerConfig::mono, Ctl::segundos, Ctl::minutos, Ctl::horas},
    {&TimerConfig::on, Ctl::segundos_on, Ctl::minutos_on, Ctl::horas_on},
    {&TimerConfig::off, Ctl::segundos_off, Ctl::minutos_off, Ctl::horas_off},
};

// The nine boxes in the order the device reads them back and takes them.
inline constexpr std::array<Ctl, 9> kDeviceFieldOrder = [] {
  std::array<Ctl, 9> order{};
  std::size_t i = 0;
  for (const TimeBoxes& b : kTimeBoxes) {
    order[i++] = b.seconds;
    order[i++] = b.minutes;
    order[i++] = b.hours;
  }
  return order;
}();

// The three times the boxes hold, and the power-up option.
TimerConfig ShownConfiguration(const WindowModel& w);
// Writes the three times into their boxes, in device order.
void ShowTimes(WindowModel& w, const TimerConfig& config);
