// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/transmission.h"

namespace timer_sim {

namespace {

// When a byte that has arrived at `due` passes the adapter's latency timer.
std::chrono::steady_clock::time_point PassedOn(std::chrono::steady_clock::time_point due,
                                               std::chrono::nanoseconds latency) {
  if (latency.count() == 0) return due;
  const auto ticks = (due.time_since_epoch() + latency - std::chrono::nanoseconds(1)) / latency;
  return std::chrono::steady_clock::time_point(
      std::chrono::duration_cast<std::chrono::steady_clock::duration>(latency * ticks));
}

}  // namespace

std::vector<TimedByte> Plan(std::string_view text, std::chrono::steady_clock::time_point start,
                            const Pacing& pacing) {
  std::vector<TimedByte> bytes;
  bytes.reserve(text.size());
  auto due = start;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i > 0 && pacing.splitSize > 0 && i % pacing.splitSize == 0) due += pacing.splitPause;
    // A character is only there once its stop bit has gone out.
    due += pacing.characterTime;
    bytes.push_back({text[i], PassedOn(due, pacing.latency)});
  }
  return bytes;
}

}  // namespace timer_sim
