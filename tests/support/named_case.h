// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cctype>
#include <ostream>
#include <string>

// A table's case prints as its name, in the log and in the test's own name.
#define TIMER_NAMED_CASE(Case)                                     \
  [[maybe_unused]] void PrintTo(const Case& c, std::ostream* os) { \
    *os << c.name;                                                 \
  }

inline constexpr auto kCaseName = [](const auto& test) { return std::string(test.param.name); };

// A table whose cases are known by the text they give prints that text,
// quoted, and names each test after its row and the text's letters and
// digits (the rest "_"): two texts may differ only in what is dropped.
#define TIMER_VALUE_CASE(Case)                                     \
  [[maybe_unused]] void PrintTo(const Case& c, std::ostream* os) { \
    *os << '"' << c.value << '"';                                  \
  }

inline constexpr auto kValueName = [](const auto& test) {
  std::string name = std::to_string(test.index) + "_";
  for (const char c : std::string(test.param.value))
    name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
};
