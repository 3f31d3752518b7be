// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>

// Time as the reply wait sees it. The program sleeps in the Qt event loop;
// unit tests substitute a simulated clock so that they count polls, not seconds.
class WaitClock {
 public:
  using Clock = std::chrono::steady_clock;

  virtual ~WaitClock() = default;
  virtual Clock::time_point now() = 0;
  // Sleeps in the event loop until an event arrives or `most` has passed.
  virtual void idle(std::chrono::microseconds most) = 0;
};
