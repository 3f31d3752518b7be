// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include <QStringList>

#include "sim/settings.h"

namespace timer_sim {

struct ParsedOptions {
  enum class Outcome { Run, Help, Version, Error };
  Outcome outcome = Outcome::Error;
  Settings settings;
  std::string text;  // help text, version or error message
};

ParsedOptions ParseOptions(const QStringList& arguments);

}  // namespace timer_sim
