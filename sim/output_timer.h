// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <optional>
#include <vector>

#include "sim/device.h"

namespace timer_sim {

// The switched output of the device and the timing after a fire command.
class OutputTimer {
 public:
  using Clock = std::chrono::steady_clock;
  struct Change {
    Clock::time_point at;
    bool on = false;
  };

  explicit OutputTimer(bool on = false) : m_on(on) {}

  void fire(const Config& config, Clock::time_point now);
  // Cancels a running period, switching off; returns the change, if any.
  std::optional<Change> stop(Clock::time_point now);
  // Applies every change due up to now, in order, each with its scheduled time.
  std::vector<Change> advance(Clock::time_point now);
  std::optional<Clock::time_point> nextChange() const;
  bool isOn() const { return m_on; }

 private:
  bool m_on = false;
  bool m_running = false;
  Mode m_mode = Mode::Monostable;
  Clock::duration m_onTime{0};
  Clock::duration m_offTime{0};
  Clock::time_point m_nextAt;
  bool m_nextOn = true;
};

}  // namespace timer_sim
