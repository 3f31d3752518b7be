// SPDX-License-Identifier: GPL-3.0-or-later
// Each fault the simulated device can play, as timer-sim and the in-process
// line both play it.

#include "sim/behaviour.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/named_case.h"

namespace timer_sim {
namespace {

using std::chrono::milliseconds;

struct FaultCase {
  const char* name;
  std::function<void(Settings&)> set;
  const char* received;
  const char* sent;     // what goes back, a flood as "<N x>"
  milliseconds lastAt;  // when its last byte has arrived
  bool hangsUp = false;
};

TIMER_NAMED_CASE(FaultCase)

class Fault : public testing::TestWithParam<FaultCase> {};

TEST_P(Fault, ChangesWhatGoesBackAndWhen) {
  const FaultCase& c = GetParam();
  Settings settings;
  c.set(settings);
  Behaviour device(settings);
  const Clock::time_point now{std::chrono::hours(1)};

  const Reaction reaction = device.receive(c.received, now);

  std::string sent;
  Clock::time_point last = now;
  for (const Outgoing& out : reaction.out) {
    sent += out.flood > 0 ? "<" + std::to_string(out.flood) + " x>" : out.bytes;
    last = std::max(last, out.due);
  }
  EXPECT_EQ(sent, c.sent);
  EXPECT_EQ(std::chrono::duration_cast<milliseconds>(last - now), c.lastAt);
  EXPECT_EQ(reaction.hangUp, c.hangsUp);
}

// 20 characters at 2400 baud take 83 ms.
const char kZeros[] = "0000000000000000001Y";

INSTANTIATE_TEST_SUITE_P(
    Cases, Fault,
    testing::Values(
        FaultCase{"None", [](Settings&) {}, "Y", kZeros, milliseconds(83)},
        FaultCase{"Silent", [](Settings& s) { s.silent = true; }, "Y", "", milliseconds(0)},
        FaultCase{"Instant", [](Settings& s) { s.instant = true; }, "Y", kZeros, milliseconds(0)},
        FaultCase{"Echo", [](Settings& s) { s.echo = true; }, "Y", "Y0000000000000000001Y",
                  milliseconds(83)},
        FaultCase{"Noise", [](Settings& s) { s.noise = "ab"; }, "Y", "ab0000000000000000001Y",
                  milliseconds(91)},
        FaultCase{"Flood", [](Settings& s) { s.flood = 5; }, "Y", "<5 x>0000000000000000001Y",
                  milliseconds(83)},
        FaultCase{"ReplyDelay", [](Settings& s) { s.replyDelay = milliseconds(100); }, "Y", kZeros,
                  milliseconds(183)},
        // Six pauses of 20 ms between seven pieces.
        FaultCase{"Split", [](Settings& s) { s.splitSize = 3; }, "Y", kZeros, milliseconds(203)},
        // The adapter passes the answer on at the next 16 ms tick after it.
        FaultCase{"UsbLatency", [](Settings& s) { s.usbLatency = milliseconds(16); }, "Y", kZeros,
                  milliseconds(96)},
        // The second answer waits for the first to leave the wire; nothing
        // after the hang-up is taken.
        FaultCase{"HangUpAfterTheSecond", [](Settings& s) { s.hangupAfter = 2; }, "YYY",
                  "0000000000000000001Y0000000000000000001Y", milliseconds(166), true},
        FaultCase{"DamagedMemory", [](Settings& s) { s.memory = "0000?0000000000000x"; }, "Y",
                  "0000?0000000000000xY", milliseconds(83)}),
    kCaseName);

}  // namespace
}  // namespace timer_sim
