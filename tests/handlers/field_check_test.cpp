// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "handlers/field_check.h"
#include "handlers/mode.h"
#include "support/fakes.h"

namespace {

struct Outcome {
  const char* typed;
  const char* hours;    // text after the check in an hours field
  const char* minutes;  // ... in a minutes or seconds field
};

// Where the text after the check is "00" but the typed text was not empty or
// zero, the check failed: it shows the kind's message and takes the focus back.
const Outcome kOutcomes[] = {
    {"", "00", "00"},   {"0", "00", "00"},   {"7", "07", "07"},  {"9", "09", "09"},
    {"08", "08", "08"}, {"45", "45", "45"},  {"59", "59", "59"}, {"60", "60", "00"},
    {"99", "99", "00"}, {"a", "00", "00"},   {"5a", "00", "00"}, {"a5", "00", "00"},
    {" 5", "00", "00"}, {"5 ", "00", "00"},  {"-5", "00", "00"}, {".5", "00", "00"},
    {"+5", "00", "00"}, {"5.", "00", "00"},  {"5+", "00", "00"}, {"٣", "00", "00"},
    {"٣5", "00", "00"}, {"5٣", "00", "00"},  {"５", "00", "00"}, {"1５", "00", "00"},
    {"Y", "00", "00"},  {"123", "00", "00"},
};

bool ShouldFail(const QString& typed, const QString& after) {
  return after == QLatin1String("00") && !typed.isEmpty() && typed != QLatin1String("0");
}

class FieldCheckOutcome : public ::testing::TestWithParam<Ctl> {};

TEST_P(FieldCheckOutcome, MatchesTheTableForItsKind) {
  const Ctl field = GetParam();
  const bool hours = KindOf(field) == FieldKind::Hours;
  for (const Outcome& o : kOutcomes) {
    Rig rig;
    const QString typed = QString::fromUtf8(o.typed);
    const QString after = QString::fromUtf8(hours ? o.hours : o.minutes);
    rig.view.setText(field, typed);
    QString shownWhileOpen;
    rig.view.onMsgBox = [&] { shownWhileOpen = rig.view.text(field); };
    rig.view.ops.clear();

    const bool accepted = FieldCheck(rig.form, field);

    SCOPED_TRACE(ControlName(field) + std::string(" typed '") + o.typed + "'");
    EXPECT_EQ(rig.view.text(field), after);
    const bool fails = ShouldFail(typed, after);
    EXPECT_EQ(accepted, !fails);
    if (fails) {
      EXPECT_EQ(rig.view.messages(),
                QStringList{Shown(hours ? kHoursRange : kMinutesSecondsRange)});
      EXPECT_EQ(shownWhileOpen, "00") << "the field shows 00 while the message is open";
      EXPECT_EQ(rig.view.ops.last(), QStringLiteral("focus %1").arg(ControlName(field)));
    } else {
      EXPECT_TRUE(rig.view.messages().isEmpty());
      EXPECT_TRUE(rig.view.ops.filter(QStringLiteral("focus")).isEmpty());
      if (typed == after) {
        EXPECT_TRUE(rig.view.ops.isEmpty()) << "an accepted value is left alone";
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllNineFields, FieldCheckOutcome,
                         ::testing::Values(Ctl::horas, Ctl::minutos, Ctl::segundos, Ctl::horas_on,
                                           Ctl::minutos_on, Ctl::segundos_on, Ctl::horas_off,
                                           Ctl::minutos_off, Ctl::segundos_off),
                         [](const auto& test) { return std::string(ControlName(test.param)); });

TEST(ModeHandlers, WriteTheSameTenControlsInOrderWithOppositeValues) {
  Rig rig;
  Option1_Click(rig.form);
  const QStringList mono = rig.view.takeOps();
  Option2_Click(rig.form);
  const QStringList bi = rig.view.takeOps();

  EXPECT_EQ(mono, (QStringList{"enable segundos 1", "enable minutos 1", "enable horas 1",
                               "enable segundos_on 0", "enable minutos_on 0", "enable horas_on 0",
                               "enable segundos_off 0", "enable minutos_off 0",
                               "enable horas_off 0", "enable Frame1 0"}));
  EXPECT_EQ(bi, (QStringList{"enable segundos 0", "enable minutos 0", "enable horas 0",
                             "enable segundos_on 1", "enable minutos_on 1", "enable horas_on 1",
                             "enable segundos_off 1", "enable minutos_off 1", "enable horas_off 1",
                             "enable Frame1 1"}));
}

}  // namespace
