// SPDX-License-Identifier: GPL-3.0-or-later
// A configuration file timerctl is given: what is wrong with it is said,
// naming the file and the key at fault.

#include <gtest/gtest.h>

#include <ostream>

#include "cli/config_file.h"
#include "support/named_case.h"
#include "support/qt_printers.h"

namespace {

struct BadFileCase {
  const char* name;
  QByteArray json;
  QString error;  // after "timer.json: "
};

TIMER_NAMED_CASE(BadFileCase)

class BadConfigFile : public ::testing::TestWithParam<BadFileCase> {};

TEST_P(BadConfigFile, IsRefusedWithWhatIsWrong) {
  const BadFileCase& c = GetParam();
  QString error;
  EXPECT_FALSE(ParseTimerConfig(c.json, QStringLiteral("timer.json"), &error));
  EXPECT_TRUE(error.startsWith(QStringLiteral("timer.json: ") + c.error)) << error.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadConfigFile,
    ::testing::Values(BadFileCase{"NotJson", "{\"mono\": ", "not JSON"},
                      BadFileCase{"NotAnObject", "[\"00:00:01\"]", "expected one JSON object"},
                      BadFileCase{"UnknownKey", "{\"mone\": \"00:00:01\"}",
                                  "\"mone\": unknown key"},
                      BadFileCase{"WrongType", "{\"mono\": 5}", "\"mono\": expected a text"},
                      BadFileCase{"OutOfRange", "{\"on\": \"00:60:00\"}",
                                  "\"on\": the value must be between 0 and 59"},
                      BadFileCase{"PowerUpWord", "{\"power_up\": \"yes\"}",
                                  "\"power_up\": takes \"on\" or \"off\""}),
    kCaseName);

}  // namespace
