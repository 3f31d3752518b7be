// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What every benchmark program needs: a step timed, a median to quote, and an
// end with the reason when a measurement cannot be made.

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using Clock = std::chrono::steady_clock;
using Millis = std::chrono::duration<double, std::milli>;

template <typename Step>
double Timed(Step step) {
  const auto start = Clock::now();
  step();
  return Millis(Clock::now() - start).count();
}

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

[[noreturn]] inline void Fail(const std::string& why) {
  std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, why.c_str());
  std::exit(1);
}
