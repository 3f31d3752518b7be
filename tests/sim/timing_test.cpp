// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <ostream>

#include "sim/output_timer.h"
#include "sim/transmission.h"
#include "support/named_case.h"

namespace timer_sim {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;
using Clock = std::chrono::steady_clock;

const Clock::time_point kT0 = Clock::time_point() + seconds(1000);

struct OutputCase {
  const char* name;
  Config config;
  // Output state sampled at these offsets after the fire command.
  std::vector<std::pair<seconds, bool>> samples;
  bool runsForever;
};

TIMER_NAMED_CASE(OutputCase)

class OutputTimerTest : public testing::TestWithParam<OutputCase> {};

TEST_P(OutputTimerTest, FollowsTheConfiguredPeriods) {
  OutputTimer output;
  output.fire(GetParam().config, kT0);
  for (const auto& [offset, on] : GetParam().samples) {
    output.advance(kT0 + offset);
    EXPECT_EQ(output.isOn(), on) << "at " << offset.count() << " s";
  }
  EXPECT_EQ(output.nextChange().has_value(), GetParam().runsForever);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, OutputTimerTest,
    testing::Values(
        OutputCase{
            "Monostable",
            {Mode::Monostable, seconds(5), seconds(1), seconds(1), true},
            {{seconds(0), true}, {seconds(4), true}, {seconds(5), false}, {seconds(60), false}},
            false},
        OutputCase{
            "MonostableZero", {Mode::Monostable, {}, {}, {}, true}, {{seconds(0), false}}, false},
        OutputCase{"Bistable",
                   {Mode::Bistable, seconds(9), seconds(2), seconds(3), true},
                   {{seconds(0), true},
                    {seconds(2), false},
                    {seconds(4), false},
                    {seconds(5), true},
                    {seconds(7), false},
                    {seconds(10), true}},
                   true},
        OutputCase{"BistableBothZeroStaysOn",
                   {Mode::Bistable, {}, {}, {}, true},
                   {{seconds(0), true}, {seconds(100), true}},
                   false},
        OutputCase{"BistableZeroOnTimeIsMostlyOff",
                   {Mode::Bistable, {}, {}, seconds(4), true},
                   {{seconds(1), false}, {seconds(5), false}},
                   true}),
    kCaseName);

TEST(OutputTimerTest, ReportsEveryChangeAtItsScheduledTime) {
  OutputTimer output(true);
  output.fire({Mode::Bistable, {}, seconds(1), seconds(2), true}, kT0);
  const auto changes = output.advance(kT0 + seconds(4));
  ASSERT_EQ(changes.size(), 4u);
  const std::vector<std::pair<seconds, bool>> expected = {
      {seconds(0), true}, {seconds(1), false}, {seconds(3), true}, {seconds(4), false}};
  for (std::size_t i = 0; i < changes.size(); ++i) {
    EXPECT_EQ(changes[i].at - kT0, expected[i].first);
    EXPECT_EQ(changes[i].on, expected[i].second);
  }
}

TEST(OutputTimerTest, StopCancelsTheCycleAndSwitchesOff) {
  OutputTimer output;
  output.fire({Mode::Bistable, {}, seconds(1), seconds(1), true}, kT0);
  output.advance(kT0);
  ASSERT_TRUE(output.stop(kT0).has_value());
  EXPECT_FALSE(output.isOn());
  EXPECT_FALSE(output.nextChange().has_value());
  EXPECT_FALSE(output.stop(kT0).has_value());
}

TEST(OutputTimerTest, StopKeepsThePowerUpState) {
  OutputTimer output(true);
  EXPECT_FALSE(output.stop(kT0).has_value());
  EXPECT_TRUE(output.isOn());
}

struct PlanCase {
  const char* name;
  Pacing pacing;
  std::vector<std::chrono::nanoseconds> offsets;
};

TIMER_NAMED_CASE(PlanCase)

class PlanTest : public testing::TestWithParam<PlanCase> {};

TEST_P(PlanTest, SchedulesEachByte) {
  const auto bytes = Plan("abcde", kT0, GetParam().pacing);
  ASSERT_EQ(bytes.size(), 5u);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    EXPECT_EQ(bytes[i].byte, "abcde"[i]);
    EXPECT_EQ(bytes[i].due - kT0, GetParam().offsets[i]) << "byte " << i;
  }
}

constexpr std::chrono::nanoseconds kC = kCharacterTime;
constexpr std::chrono::nanoseconds kP = kSplitPause;

INSTANTIATE_TEST_SUITE_P(
    Pacings, PlanTest,
    testing::Values(
        PlanCase{"WireRate", {}, {kC, kC * 2, kC * 3, kC * 4, kC * 5}},
        PlanCase{"Instant", {std::chrono::nanoseconds(0), 0, kP}, {{}, {}, {}, {}, {}}},
        PlanCase{"SplitInstant", {std::chrono::nanoseconds(0), 2, kP}, {{}, {}, kP, kP, kP * 2}},
        PlanCase{"SplitPaced", {kC, 3, kP}, {kC, kC * 2, kC * 3, kC * 4 + kP, kC * 5 + kP}}),
    kCaseName);

}  // namespace
}  // namespace timer_sim
