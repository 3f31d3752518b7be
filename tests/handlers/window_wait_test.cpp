// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <ostream>

#include "handlers/window_wait.h"
#include "support/fakes.h"
#include "support/named_case.h"

namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;

struct WaitCase {
  const char* name;
  QByteArray answerChars;
  QByteArray initial;
  std::vector<Piece> arrivals;
  End end;
  QByteArray reply;
  microseconds endsAfter;  // simulated time at the end of the wait
};

TIMER_NAMED_CASE(WaitCase)

class Wait : public ::testing::TestWithParam<WaitCase> {};

TEST_P(Wait, EndsAsTheRulesSay) {
  const WaitCase& c = GetParam();
  Rig rig;
  rig.port.open();
  rig.port.answers["cmd"] = c.arrivals;
  rig.port.output("cmd");

  const Reply result = ReplyWait(rig.form, c.answerChars, c.initial);

  EXPECT_EQ(result.end, c.end);
  EXPECT_EQ(result.bytes, c.reply);
  EXPECT_NEAR(rig.clock.elapsed().count(), c.endsAfter.count(), 1'000);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, Wait, ::testing::Values(
    WaitCase{"SilenceEndsAfterTwoSeconds", "Y", " ", {}, End::NoAnswer, " ", milliseconds(2000)},
    WaitCase{"AnswerInALaterPiece", "ST", "", {{milliseconds(3), "x"}, {milliseconds(40), "abT"}},
             End::Answered, "xabT", milliseconds(40)},
    WaitCase{"EitherAnswerCharacter", "ST", "", {{milliseconds(2), "S"}}, End::Answered, "S",
             milliseconds(2)},
    WaitCase{"LowerCaseIsNoAnswer", "E", " ", {{milliseconds(2), "e"}}, End::NoAnswer, " e",
             milliseconds(2001)},
    // Polls that bring characters count nothing, and the silence before
    // them still counts: 1.5 s, a character, then 0.5 s more.
    WaitCase{"CharactersDoNotResetTheCount", "Y", " ", {{milliseconds(1500), "z"}}, End::NoAnswer,
             " z", milliseconds(2001)},
    WaitCase{"CharactersAfterTheAnswerAreKept", "E", " ", {{milliseconds(7), "xEyz"}},
             End::Answered, " xEyz", milliseconds(7)}),
    kCaseName);
// clang-format on

TEST(Wait, SleepsUntilTheAnswerArrives) {
  Rig rig;
  rig.port.open();
  rig.port.answers["Y"] = {{microseconds(83'400), "Y"}};
  rig.port.output("Y");

  ReplyWait(rig.form, "Y", " ");

  // One sleep over the silence, woken by the answer: no polling while silent.
  EXPECT_EQ(rig.clock.elapsed(), microseconds(83'400));
  EXPECT_EQ(rig.clock.idles(), 1);
}

TEST(Wait, AnAnswerThatArrivedBeforeTheLineFailedStillCounts) {
  Rig rig;
  rig.port.open();
  rig.view.onDoEvents = [&](int pass) {
    if (pass != 2) return;
    rig.port.arrive("xE");
    rig.port.breakLine();
  };
  EXPECT_EQ(ReplyWait(rig.form, "E", " ").end, End::Answered);
  // Nothing more comes through the broken line: the next wait ends on the failure.
  rig.view.onDoEvents = nullptr;
  const int idlesBefore = rig.clock.idles();
  EXPECT_EQ(ReplyWait(rig.form, "E", " ").end, End::PortUnavailable);
  EXPECT_EQ(rig.clock.idles(), idlesBefore) << "a failed line is not waited out";
}

TEST(Wait, EndsAtOnceWhenTheWindowIsUnloaded) {
  Rig rig;
  rig.port.open();
  rig.view.onDoEvents = [&](int pass) {
    if (pass == 2) rig.form.m_unloaded = true;
  };
  EXPECT_EQ(ReplyWait(rig.form, "Y", " ").end, End::Unloaded);
  EXPECT_EQ(rig.view.doEventsCount(), 2);
}

TEST(Wait, EndsWhenThePortWasClosedAndOpenedAgainUnderIt) {
  Rig rig;
  rig.port.open();
  rig.view.onDoEvents = [&](int pass) {
    if (pass != 2) return;
    rig.port.close();
    rig.port.open();
    rig.port.arrive("Y");
  };
  EXPECT_EQ(ReplyWait(rig.form, "Y", " ").end, End::PortClosed);
}

}  // namespace
