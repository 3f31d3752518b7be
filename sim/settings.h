// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <string>

#include "sim/device.h"

namespace timer_sim {

// How the simulated device is set up and how it misbehaves: what timer-sim's
// options say, and what a test asks of a device in its process.
struct Settings {
  Config config;
  bool instant = false;  // answers at once, not at 2400 baud
  bool silent = false;
  bool writeFails = false;
  std::string memory;  // what a damaged memory reads back until written
  bool echo = false;   // every byte received goes back first, as on a line that echoes
  std::chrono::milliseconds replyDelay{0};
  std::size_t splitSize = 0;
  // Answers pass on only every so often, as through a USB adapter's latency timer.
  std::chrono::milliseconds usbLatency{0};
  std::string noise;
  std::size_t flood = 0;  // filler bytes sent ahead of each answer
  int hangupAfter = 0;    // zero never hangs up
  std::string linkPath;
  std::string devicePath;
};

}  // namespace timer_sim
