// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <string_view>
#include <vector>

namespace timer_sim {

// 2400 baud, 8N1: start bit, 8 data bits and a stop bit per character.
constexpr int kBaudRate = 2400;
constexpr int kBitsPerCharacter = 10;
constexpr std::chrono::nanoseconds kCharacterTime{1'000'000'000LL * kBitsPerCharacter / kBaudRate};
constexpr std::chrono::milliseconds kSplitPause{20};

struct Pacing {
  std::chrono::nanoseconds characterTime = kCharacterTime;  // zero sends as fast as possible
  std::size_t splitSize = 0;                                // zero sends in one piece
  std::chrono::nanoseconds splitPause = kSplitPause;
  std::chrono::nanoseconds latency{0};  // bytes pass on at its multiples; zero as they come
};

struct TimedByte {
  char byte = 0;
  std::chrono::steady_clock::time_point due;
};

// When each byte of text has fully arrived at the other end if sending starts at start.
std::vector<TimedByte> Plan(std::string_view text, std::chrono::steady_clock::time_point start,
                            const Pacing& pacing);

}  // namespace timer_sim
