// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <string>

#include <QStringList>

#include "sim/device.h"

namespace timer_sim {

struct Settings {
  Config config;
  bool instant = false;
  bool silent = false;
  bool writeFails = false;
  std::string memory;  // what a damaged memory reads back until written
  bool echo = false;   // every byte received goes back first, as on a line that echoes
  std::chrono::milliseconds replyDelay{0};
  std::size_t splitSize = 0;
  std::string noise;
  std::size_t flood = 0;  // filler bytes sent ahead of each answer
  int hangupAfter = 0;    // zero never hangs up
  std::string linkPath;
  std::string devicePath;
};

struct ParsedOptions {
  enum class Outcome { Run, Help, Version, Error };
  Outcome outcome = Outcome::Error;
  Settings settings;
  std::string text;  // help text, version or error message
};

ParsedOptions ParseOptions(const QStringList& arguments);

}  // namespace timer_sim
