// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ostream>
#include <string>

// A table's case prints as its name, in the log and in the test's own name.
#define TIMER_NAMED_CASE(Case)                                     \
  [[maybe_unused]] void PrintTo(const Case& c, std::ostream* os) { \
    *os << c.name;                                                 \
  }

inline constexpr auto kCaseName = [](const auto& test) { return std::string(test.param.name); };
