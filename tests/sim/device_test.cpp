// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/device.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "support/named_case.h"

namespace timer_sim {
namespace {

using std::chrono::hours;
using std::chrono::minutes;
using std::chrono::seconds;

// Feeds bytes and collects what the device would send and which commands it saw.
struct Exchange {
  std::string answers;
  std::string kinds;  // one letter per event: Y probe, C configure, E fire, D discarded, i ignored
};

char KindLetter(Event::Kind kind) {
  switch (kind) {
    case Event::Kind::Probe:
      return 'Y';
    case Event::Kind::Configure:
      return 'C';
    case Event::Kind::Fire:
      return 'E';
    case Event::Kind::Discarded:
      return 'D';
    case Event::Kind::Ignored:
      break;
  }
  return 'i';
}

Exchange feed(Device& device, std::string_view bytes) {
  Exchange out;
  for (const char byte : bytes) {
    for (const Event& event : device.receive(byte)) {
      out.answers += event.answer;
      out.kinds += KindLetter(event.kind);
    }
  }
  return out;
}

struct ReadBackCase {
  const char* name;
  Config config;
  const char* expected;
};

TIMER_NAMED_CASE(ReadBackCase)

class ReadBackTest : public testing::TestWithParam<ReadBackCase> {};

TEST_P(ReadBackTest, ProbeAnswersSecondsMinutesHoursPerTime) {
  Device device(GetParam().config);
  EXPECT_EQ(feed(device, "Y").answers, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Configs, ReadBackTest,
    testing::Values(ReadBackCase{"Defaults", {}, "0000000000000000001Y"},
                    ReadBackCase{"AllThreeTimes",
                                 {Mode::Monostable, hours(1) + minutes(30) + seconds(15),
                                  seconds(10), minutes(2), true},
                                 "1530011000000002001Y"},
                    ReadBackCase{"PowerUpOffAndMaximum",
                                 {Mode::Bistable, hours(99) + minutes(59) + seconds(59), hours(12),
                                  seconds(7), false},
                                 "5959990000120700000Y"}),
    kCaseName);

struct FrameCase {
  const char* name;
  const char* frame;
  Config stored;
};

TIMER_NAMED_CASE(FrameCase)

class ValidFrameTest : public testing::TestWithParam<FrameCase> {};

TEST_P(ValidFrameTest, IsStoredAndAnsweredWithItsLetter) {
  Device device;
  const Exchange exchange = feed(device, GetParam().frame);
  EXPECT_EQ(exchange.answers, std::string(1, GetParam().frame[0]));
  EXPECT_EQ(device.config(), GetParam().stored);
  // What was stored comes back in the read-back, in wire order.
  EXPECT_EQ(feed(device, "Y").answers, std::string(GetParam().frame + 1) + "Y");

  // A device whose memory write fails acknowledges all the same.
  Device failing;
  failing.setWriteFails(true);
  EXPECT_EQ(feed(failing, GetParam().frame).answers, std::string(1, GetParam().frame[0]));
  EXPECT_EQ(failing.config(), Config{});
}

INSTANTIATE_TEST_SUITE_P(
    Frames, ValidFrameTest,
    testing::Values(
        FrameCase{"Monostable",
                  "T1530010000000000001",
                  {Mode::Monostable, hours(1) + minutes(30) + seconds(15), {}, {}, true}},
        FrameCase{"Bistable",
                  "S0000001000000002000",
                  {Mode::Bistable, {}, seconds(10), minutes(2), false}},
        FrameCase{
            "LargestValues",
            "S5959995959995959991",
            {Mode::Bistable, hours(99) + minutes(59) + seconds(59),
             hours(99) + minutes(59) + seconds(59), hours(99) + minutes(59) + seconds(59), true}}),
    kCaseName);

struct MalformedCase {
  const char* name;
  const char* bytes;
  const char* answers;
  const char* kinds;
};

TIMER_NAMED_CASE(MalformedCase)

class MalformedFrameTest : public testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedFrameTest, IsDiscardedAndTheDeviceResynchronises) {
  const Config before{Mode::Monostable, seconds(5), {}, {}, true};
  Device device(before);
  const Exchange exchange = feed(device, GetParam().bytes);
  EXPECT_EQ(exchange.answers, GetParam().answers);
  EXPECT_EQ(exchange.kinds, GetParam().kinds);
  EXPECT_EQ(device.config(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, MalformedFrameTest,
    testing::Values(
        MalformedCase{"ShortThenProbe", "T153001000000000000Y", "0500000000000000001Y", "DY"},
        MalformedCase{"ShortThenFire", "S12E", "E", "DE"},
        MalformedCase{"LetterInDigits", "T15300100A0000000001Y", "0500000000000000001Y", "DY"},
        MalformedCase{"MinutesSixty", "T0060000000000000001E", "E", "DE"},
        MalformedCase{"SecondsSixtyInOffTime", "S0000000000006000001E", "E", "DE"},
        MalformedCase{"FlagTwo", "T00000000000000000021E", "E", "DiE"}),
    kCaseName);

TEST(DeviceTest, FrameLetterCutsShortFrameAndStartsANewOne) {
  Device device;
  const Exchange exchange = feed(device, "T1530S0000001000000002000");
  EXPECT_EQ(exchange.answers, "S");
  EXPECT_EQ(exchange.kinds, "DC");
  EXPECT_EQ(device.config().off, minutes(2));
}

TEST(DeviceTest, BytesOutsideAFrameAreIgnored) {
  Device device;
  const Exchange exchange = feed(device, "x0\r\nyE");
  EXPECT_EQ(exchange.answers, "E");
  EXPECT_EQ(exchange.kinds, "iiiiiE");
}

struct HmsCase {
  const char* value;
  std::optional<seconds> expected;
};

TIMER_VALUE_CASE(HmsCase)

class HmsTest : public testing::TestWithParam<HmsCase> {};

TEST_P(HmsTest, Parses) {
  EXPECT_EQ(ParseHms(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, HmsTest,
    testing::Values(HmsCase{"00:00:00", seconds(0)},
                    HmsCase{"01:30:15", hours(1) + minutes(30) + seconds(15)},
                    HmsCase{"99:59:59", hours(99) + minutes(59) + seconds(59)},
                    HmsCase{"00:60:00", std::nullopt}, HmsCase{"00:00:60", std::nullopt},
                    HmsCase{"100:00:00", std::nullopt}, HmsCase{"1:30:15", std::nullopt},
                    HmsCase{"01-30-15", std::nullopt}, HmsCase{"01:3a:15", std::nullopt},
                    HmsCase{"", std::nullopt}, HmsCase{"01:30:15 ", std::nullopt}),
    kValueName);

TEST(HmsTest, FormatsWhatItParses) {
  for (const char* text : {"00:00:00", "01:30:15", "99:59:59"}) {
    EXPECT_EQ(FormatHms(*ParseHms(text)), text);
  }
}

}  // namespace
}  // namespace timer_sim
