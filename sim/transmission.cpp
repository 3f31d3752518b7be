// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/transmission.h"

namespace timer_sim {

std::vector<TimedByte> Plan(std::string_view text, std::chrono::steady_clock::time_point start,
                            const Pacing& pacing) {
  std::vector<TimedByte> bytes;
  bytes.reserve(text.size());
  auto due = start;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i > 0 && pacing.splitSize > 0 && i % pacing.splitSize == 0) due += pacing.splitPause;
    // A character is only there once its stop bit has gone out.
    due += pacing.characterTime;
    bytes.push_back({text[i], due});
  }
  return bytes;
}

}  // namespace timer_sim
