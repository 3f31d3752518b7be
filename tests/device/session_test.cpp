// SPDX-License-Identifier: GPL-3.0-or-later
// A session with one device, on a scripted line in simulated time.

#include <gtest/gtest.h>

#include <cstring>

#include "device/read_back.h"
#include "device/session.h"
#include "support/fakes.h"
#include "support/named_case.h"

namespace {

using std::chrono::milliseconds;

// One character of `text` every `step`: the text once, or `count` characters
// of it over and over.
std::vector<Piece> Paced(const QByteArray& text, milliseconds step, int count = 0) {
  const int n = count > 0 ? count : static_cast<int>(text.size());
  std::vector<Piece> pieces;
  pieces.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) pieces.push_back({step * i, QByteArray(1, text.at(i % text.size()))});
  return pieces;
}

struct LinkCase {
  const char* name;
  std::vector<Piece> before;  // unasked, from the opening on
  std::vector<Piece> answer;  // to the probe
  End end;
  QByteArray readBack;
  milliseconds endsAfter;   // when the link has ended, in simulated time
  const char* reason = "";  // how its reason starts
  bool floods = false;      // the line never pauses
};

TIMER_NAMED_CASE(LinkCase)

class Link : public ::testing::TestWithParam<LinkCase> {};

TEST_P(Link, ProbesOnAQuietLineAndLeavesOneQuiet) {
  const LinkCase& c = GetParam();
  ScriptedLine line;
  line.device.arrive(c.before);
  line.device.answers["Y"] = c.answer;
  if (c.floods) line.device.flood = milliseconds(1);
  DeviceSession session(line);

  const Reply reply = session.link();

  EXPECT_EQ(reply.end, c.end);
  EXPECT_EQ(ReadBackIn(reply.bytes).text, c.readBack);
  EXPECT_NEAR(line.time.elapsed().count(), std::chrono::microseconds(c.endsAfter).count(), 3000);
  EXPECT_EQ(line.device.isOpen(), c.end == End::Answered);
  EXPECT_EQ(reply.reason.english().left(static_cast<qsizetype>(std::strlen(c.reason))),
            QString::fromLatin1(c.reason));
}

// A silent line costs one sleep for the quiet and one until the answer: a
// thousand devices waiting cost no core.
TEST(Link, SleepsThroughSilenceWithoutPolling) {
  ScriptedLine line;
  line.device.answers["Y"] = {{milliseconds(90), kZeroReadBack}};
  EXPECT_TRUE(DeviceSession(line).link().answered());
  EXPECT_EQ(line.time.idles(), 2);
}

const QByteArray kZeros = "0000000000000000001";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, Link, ::testing::Values(
    // 50 ms of quiet, then the probe, answered 90 ms later.
    LinkCase{"QuietLine", {}, {{milliseconds(90), kZeroReadBack}}, End::Answered, kZeros,
             milliseconds(140)},
    // A run that ended early left the device in the middle of an answer: its
    // tail is dropped, not read as the probe's answer.
    LinkCase{"TheTailOfAnOldAnswer", Paced("1020003040501Y", milliseconds(4)),
             {{milliseconds(90), kZeroReadBack}}, End::Answered, kZeros, milliseconds(52 + 50 + 90)},
    LinkCase{"ALineThatNeverGoesQuiet", Paced("x", milliseconds(4), 1000),
             {{milliseconds(90), kZeroReadBack}}, End::Answered, kZeros, milliseconds(250 + 90)},
    // The echo ends the link once the device's answer behind it has ended.
    LinkCase{"AnEchoWithTheAnswerBehindIt", {}, {{milliseconds(0), "Y"},
             {milliseconds(20), "1530010000"}, {milliseconds(60), "000000001Y"}}, End::Echo, "",
             milliseconds(50 + 60 + 50)},
    // Silence is counted only between bytes: a flood is bounded in all.
    LinkCase{"AFloodWithoutTheAnswer", {}, {}, End::NoAnswer, "", milliseconds(250 + 5000),
             "the line never went quiet", true}),
    kCaseName);
// clang-format on

// Behind a line that echoes, a device that answered the probe and then
// stays silent: the echo of the command is no answer.
struct EchoCase {
  const char* name;
  QByteArray command;
  Reply (*send)(DeviceSession& session);
};

TIMER_NAMED_CASE(EchoCase)

class EchoingLine : public ::testing::TestWithParam<EchoCase> {};

TEST_P(EchoingLine, TheCommandsEchoIsNoAnswer) {
  const EchoCase& c = GetParam();
  ScriptedLine line;
  line.device.answers["Y"] = {{milliseconds(1), "Y"}, {milliseconds(90), kZeroReadBack}};
  line.device.answers[c.command] = {{milliseconds(1), c.command}};
  DeviceSession session(line, true);
  ASSERT_TRUE(session.link().answered());

  EXPECT_EQ(c.send(session).end, End::NoAnswer);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, EchoingLine,
    ::testing::Values(EchoCase{"Fire", "E", [](DeviceSession& s) { return s.fire(); }},
                      EchoCase{"Upload", "T0000000000000000001",
                               [](DeviceSession& s) {
                                 return s.upload(false, ReadBackIn(kZeroReadBack).config.value());
                               }}),
    kCaseName);

}  // namespace
