// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <ostream>

#include "link/tracing_port.h"
#include "support/fakes.h"
#include "support/named_case.h"

namespace {

using std::chrono::microseconds;

struct TraceCase {
  const char* name;
  microseconds since;
  const char* direction;
  QByteArray bytes;
  const char* line;
};

TIMER_NAMED_CASE(TraceCase)

class Trace : public ::testing::TestWithParam<TraceCase> {};

TEST_P(Trace, LineShowsTimeDirectionCharactersAndHex) {
  const TraceCase& c = GetParam();
  EXPECT_EQ(TraceLine(c.since, c.direction, c.bytes), QString::fromLatin1(c.line));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, Trace,
    ::testing::Values(
        TraceCase{"Probe", microseconds(0), "tx", "Y", "      0.0 tx \"Y\" 59"},
        TraceCase{"ReadBackPiece", microseconds(87'549), "rx", "01Y",
                  "     87.5 rx \"01Y\" 30 31 59"},
        // What is not printable, and what would end the quoted text, is escaped.
        TraceCase{"Unprintable", microseconds(123'456'789), "rx", QByteArray("\r\n\"\\\xff\0", 6),
                  " 123456.8 rx \"\\x0d\\x0a\\x22\\x5c\\xff\\x00\" 0d 0a 22 5c ff 00"},
        // DEL is invisible in a terminal and in the file.
        TraceCase{"Delete", microseconds(0), "rx", "\x7f", "      0.0 rx \"\\x7f\" 7f"}),
    kCaseName);

TEST(TracingPort, PassesEveryCallOnAndTracesWhatCrossesTheLine) {
  Rig rig;
  QStringList lines;
  TracingPort tracing(rig.port, [&](const QString& line) { lines << line.mid(10); });
  bool failureSeen = false;
  tracing.setFailureHandler([&] { failureSeen = true; });
  rig.port.answers["Y"] = {{std::chrono::milliseconds(0), "01Y"}};

  ASSERT_TRUE(tracing.setCommPort(3) && tracing.open());
  ASSERT_TRUE(tracing.output("Y"));
  EXPECT_EQ(tracing.inBufferCount(), 3);
  EXPECT_EQ(tracing.input(), "01Y");
  EXPECT_EQ(tracing.input(), "") << "an empty read is no line";
  rig.port.breakLine();

  EXPECT_EQ(lines, (QStringList{"tx \"Y\" 59", "rx \"01Y\" 30 31 59"}));
  EXPECT_EQ(rig.port.ops, (QStringList{"commport 3", "open", "send Y"}));
  EXPECT_TRUE(failureSeen) << "the line's failure reaches whoever watches the tracer";
  EXPECT_TRUE(tracing.failed());
}

}  // namespace
