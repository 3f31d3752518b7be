// SPDX-License-Identifier: GPL-3.0-or-later
// The simulator's command framing: whatever bytes arrive, it answers only as
// the protocol allows and stores only well-formed configurations.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "sim/device.h"

using namespace timer_sim;

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

bool ValidConfig(const Config& c) {
  const auto limit = std::chrono::hours(99) + std::chrono::minutes(59) + std::chrono::seconds(59);
  return c.mono <= limit && c.on <= limit && c.off <= limit;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Device device;
  for (size_t i = 0; i < size; ++i) {
    for (const Event& event : device.receive(static_cast<char>(data[i]))) {
      switch (event.kind) {
        case Event::Kind::Probe:
          Check(event.answer == ProbeAnswer(device.config()));
          Check(event.answer.size() == kProbeAnswerLength && event.answer.back() == kProbeCommand);
          break;
        case Event::Kind::Configure:
          Check(event.text.size() == kFrameLength);
          Check(event.answer == std::string(1, event.text.front()));
          Check(Frame(device.config()) == event.text);
          break;
        case Event::Kind::Fire:
          Check(event.answer == "E");
          break;
        case Event::Kind::Discarded:
        case Event::Kind::Ignored:
          Check(event.answer.empty());
          break;
      }
    }
    Check(ValidConfig(device.config()));
    Check(ParseFrame(Frame(device.config())) == device.config());
  }
  return 0;
}
