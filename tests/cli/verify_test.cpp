// SPDX-License-Identifier: GPL-3.0-or-later
// timerctl's verdict on an upload: the read-back stands right before the
// first "Y", and it must be what was sent, character for character.

#include <gtest/gtest.h>

#include "cli/config_file.h"
#include "cli/programmer.h"
#include "support/named_case.h"
#include "support/qt_printers.h"

namespace {

struct VerifyCase {
  const char* name;
  bool sentOn;  // the power-up state sent with mono 34:12:15, on and off 00:00:00
  QByteArray received;
  const char* difference;  // nullptr: verified
};

TIMER_NAMED_CASE(VerifyCase)

class Verification : public ::testing::TestWithParam<VerifyCase> {};

TEST_P(Verification, PassesOnlyWhenTheDeviceHoldsWhatWasSent) {
  const VerifyCase& c = GetParam();
  QString error;
  TimerConfig sent;
  sent.mono = ParseHms(QStringLiteral("34:12:15"), &error);
  sent.on = sent.off = ParseHms(QStringLiteral("00:00:00"), &error);
  sent.powerUpOn = c.sentOn;
  const QList<Text> differences = Verify(sent, ReadBackIn(c.received));
  EXPECT_EQ(EnglishOf(differences).join('\n'), QString::fromUtf8(c.difference ? c.difference : ""));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Verification,
    ::testing::Values(
        VerifyCase{"Held", false, "1512340000000000000Y", nullptr},
        VerifyCase{"StrayBytesAfterTheYHeld", false, "1512340000000000000Yab", nullptr},
        VerifyCase{"StrayBytesAfterTheYFlagOff", false, "1512340000000000001Yab",
                   "power-up: sent off, device has on"},
        VerifyCase{"StrayBytesAfterTheYFlagOn", true, "1512340000000000000Y1b",
                   "power-up: sent on, device has off"},
        VerifyCase{"StrayBytesBeforeTheReadBack", false, "K8m41512340000000000000Y", nullptr},
        VerifyCase{"OnlyTheFlagWrong", true, "1512340000000000000Y",
                   "power-up: sent on, device has off"},
        VerifyCase{"AFlagThatIsNeither", false, "151234000000000000xY",
                   "power-up: sent off, device has \"x\""},
        VerifyCase{"ATimeWrong", false, "1512350000000000000Y",
                   "mono: sent 34:12:15, device has 35:12:15"},
        VerifyCase{"NoReadBack", false, "000Y0000000000000000",
                   "the answer holds no configuration: \"000Y0000000000000000\""}),
    kCaseName);

// Hours go to 99 wherever a time is given; minutes and seconds to 59.
TEST(Times, HoursToNinetyNineMinutesAndSecondsToFiftyNine) {
  QString error;
  for (const char* good : {"99:59:59", "75:00:00", "00:00:00"})
    EXPECT_TRUE(ParseHms(QString::fromLatin1(good), &error)) << good;
  for (const char* bad : {"00:60:00", "00:00:60", "100:00:00", "1:2:3"})
    EXPECT_FALSE(ParseHms(QString::fromLatin1(bad), &error)) << bad;
}

}  // namespace
