// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <ostream>

#include "handlers/activation.h"
#include "handlers/connect.h"
#include "handlers/form.h"
#include "handlers/port_selection.h"
#include "handlers/upload.h"
#include "support/fakes.h"
#include "support/named_case.h"

namespace {

using std::chrono::milliseconds;

const QStringList kDropLinkChanges = {
    "enable Conectar 1",         "enable enviar 0",    "status Desconectado",
    "caption Conectar Conectar", "enable fire 0",      "enable segundos 0",
    "enable minutos 0",          "enable horas 0",     "enable segundos_on 0",
    "enable minutos_on 0",       "enable horas_on 0",  "enable segundos_off 0",
    "enable minutos_off 0",      "enable horas_off 0", "enable Option1 0",
    "enable Option2 0",          "enable Frame1 0",
};

struct StringCase {
  const char* name;
  bool bistable;
  bool encendido;
  std::vector<std::pair<Ctl, const char*>> texts;
  const char* expected;
};

TIMER_NAMED_CASE(StringCase)

class UploadString : public ::testing::TestWithParam<StringCase> {};

TEST_P(UploadString, IsBuiltFromModeFieldsAndFlag) {
  const StringCase& c = GetParam();
  LinkedRig rig;
  rig.view.setValue(c.bistable ? Ctl::Option2 : Ctl::Option1, true);
  rig.view.setValue(c.bistable ? Ctl::Option1 : Ctl::Option2, false);
  rig.view.setValue(Ctl::Option3, c.encendido);
  rig.view.setValue(Ctl::Option4, false);  // the flag follows Option3 alone
  for (const auto& [field, text] : c.texts) rig.view.setText(field, QString::fromUtf8(text));
  rig.port.answers[c.expected] = {{milliseconds(100), c.bistable ? "S" : "T"}};

  EXPECT_EQ(OutcomeWord(enviar_Click(rig.form)), "ok");

  EXPECT_EQ(rig.port.sent, QByteArray(c.expected));
  EXPECT_EQ(rig.port.ops.mid(0, 2),
            (QStringList{QStringLiteral("send %1").arg(c.expected), "clear"}))
      << "sent first, the buffer emptied after";
  EXPECT_EQ(rig.view.messages(), QStringList{Shown(kUploadDone)});
}

INSTANTIATE_TEST_SUITE_P(
    Strings, UploadString,
    ::testing::Values(StringCase{"AllZeroMonostable", false, true, {}, "T0000000000000000001"},
                      StringCase{"MonostableSecondsFirst",
                                 false,
                                 true,
                                 {{Ctl::horas, "01"}, {Ctl::minutos, "30"}, {Ctl::segundos, "15"}},
                                 "T1530010000000000001"},
                      StringCase{"Bistable",
                                 true,
                                 false,
                                 {{Ctl::segundos_on, "10"}, {Ctl::minutos_off, "02"}},
                                 "S0000001000000002000"},
                      // Disabled fields go out too, in both modes.
                      StringCase{"BistableKeepsMonostableTexts",
                                 true,
                                 true,
                                 {{Ctl::horas, "01"}, {Ctl::minutos, "30"}, {Ctl::segundos, "15"}},
                                 "S1530010000000000001"},
                      StringCase{"MonostableSendsBistableTexts",
                                 false,
                                 false,
                                 {{Ctl::horas_off, "99"}, {Ctl::segundos_on, "59"}},
                                 "T0000005900000000990"}),
    kCaseName);

TEST(Upload, WidensAndFillsWhatTheReadBackLeftShortBeforeSending) {
  LinkedRig rig;
  rig.set({{Ctl::segundos, "7"}, {Ctl::minutos, ""}, {Ctl::horas_off, "3"}});

  enviar_Click(rig.form);

  EXPECT_EQ(rig.port.sent, "T0700000000000000031");
  EXPECT_EQ(rig.view.text(Ctl::segundos), "07");
  EXPECT_EQ(rig.view.text(Ctl::minutos), "00");
}

TEST(Upload, AFieldThatFailsItsCheckStopsTheUploadAndKeepsTheLink) {
  LinkedRig rig;
  rig.set({{Ctl::minutos, "Y"}, {Ctl::segundos_on, "75"}});

  EXPECT_EQ(OutcomeWord(enviar_Click(rig.form)), "refused");

  EXPECT_TRUE(rig.port.sent.isEmpty());
  EXPECT_EQ(rig.view.ops,
            (QStringList{"text minutos '00'", Shown(kMinutesSecondsRange), "focus minutos"}))
      << "the first failing field in string order stops it";
  EXPECT_EQ(rig.form.Conecta, 0);
  EXPECT_TRUE(rig.port.isOpen());
}

struct AnswerCase {
  const char* name;
  std::vector<Piece> answer;
  bool confirmed;
};

TIMER_NAMED_CASE(AnswerCase)

class UploadAnswer : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(UploadAnswer, IsAnyCapitalSOrTAnywhere) {
  LinkedRig rig;
  rig.port.answers["T0000000000000000001"] = GetParam().answer;
  EXPECT_EQ(OutcomeWord(enviar_Click(rig.form)), GetParam().confirmed ? "ok" : "no answer");
  EXPECT_EQ(rig.form.Conecta, GetParam().confirmed ? 0 : 1);
  EXPECT_EQ(rig.view.messages().size(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, UploadAnswer,
    ::testing::Values(AnswerCase{"SForAT", {{milliseconds(5), "S"}}, true},
                      AnswerCase{"OtherCharactersFirst", {{milliseconds(5), "xy1T"}}, true},
                      AnswerCase{
                          "InPieces", {{milliseconds(5), "x"}, {milliseconds(900), "T"}}, true},
                      AnswerCase{"LowerCaseS", {{milliseconds(5), "s"}}, false},
                      AnswerCase{"LowerCaseT", {{milliseconds(5), "t"}}, false},
                      AnswerCase{"ActivationAnswer", {{milliseconds(5), "E"}}, false}),
    kCaseName);

TEST(Upload, WithNeitherModeSelectedSendsNothingButStillWaits) {
  LinkedRig rig;
  rig.view.setValue(Ctl::Option1, false);
  rig.view.setValue(Ctl::Option2, false);
  rig.port.arrive({{milliseconds(300), "T"}});

  enviar_Click(rig.form);

  EXPECT_TRUE(rig.port.sent.isEmpty());
  EXPECT_EQ(rig.port.ops, QStringList{"clear"});
  EXPECT_EQ(rig.form.Conecta, 0);
}

struct SilenceCase {
  const char* name;
  Outcome (*click)(Form1&);
};

TIMER_NAMED_CASE(SilenceCase)

class CommandSilence : public ::testing::TestWithParam<SilenceCase> {};

TEST_P(CommandSilence, GivesOneMessageThenTheUnlinkedState) {
  LinkedRig rig;
  rig.set({{Ctl::horas, "12"}});
  rig.view.setValue(Ctl::Option3, false);
  rig.view.setValue(Ctl::Option4, true);
  rig.view.ops.clear();

  EXPECT_EQ(OutcomeWord(GetParam().click(rig.form)), "no answer");

  QStringList expected = {Shown(kNoDevice)};
  expected += kDropLinkChanges;
  EXPECT_EQ(rig.view.ops, expected);
  EXPECT_FALSE(rig.port.isOpen());
  EXPECT_EQ(rig.form.Conecta, 1);
  EXPECT_EQ(rig.view.text(Ctl::horas), "12");
  EXPECT_TRUE(rig.view.value(Ctl::Option1));
  EXPECT_TRUE(rig.view.value(Ctl::Option4));
  EXPECT_NEAR(rig.clock.elapsed().count(), 2'090'000, 5'000);
}

TEST_P(CommandSilence, ALineFailureGivesThePortMessageAndTheSameChanges) {
  LinkedRig rig;
  // The wait's own path reports it; the line's failure event adds nothing.
  rig.port.setFailureHandler([&] { Conexion_OnComm(rig.form); });
  rig.port.breakLine(milliseconds(300));

  EXPECT_EQ(OutcomeWord(GetParam().click(rig.form)), "port unavailable");

  QStringList expected = {Shown(kPortUnavailable)};
  expected += kDropLinkChanges;
  EXPECT_EQ(rig.view.ops, expected);
  EXPECT_FALSE(rig.port.isOpen());
  EXPECT_LT(rig.view.doEventsCount(), 10);
}

TEST_P(CommandSilence, ASendThatFailsGivesThePortMessage) {
  LinkedRig rig;
  rig.port.failOutput = true;
  EXPECT_EQ(OutcomeWord(GetParam().click(rig.form)), "port unavailable");
  EXPECT_EQ(rig.view.messages(), QStringList{Shown(kPortUnavailable)});
  EXPECT_EQ(rig.form.Conecta, 1);
  EXPECT_EQ(rig.view.doEventsCount(), 0);
}

TEST_P(CommandSilence, DisconnectOrPortChangeDuringTheWaitEndsItQuietly) {
  for (bool byPortChange : {false, true}) {
    LinkedRig rig;
    rig.view.onDoEvents = [&](int pass) {
      if (pass != 2) return;
      if (byPortChange) {
        Combo1_Click(rig.form);
      } else {
        Conectar_Click(rig.form);
      }
    };
    rig.view.ops.clear();
    EXPECT_EQ(OutcomeWord(GetParam().click(rig.form)), "port closed") << byPortChange;
    EXPECT_TRUE(rig.view.messages().isEmpty()) << byPortChange;
    EXPECT_EQ(rig.view.doEventsCount(), 2) << byPortChange;
    EXPECT_FALSE(rig.port.isOpen());
    EXPECT_EQ(rig.form.Conecta, 1);
  }
}

TEST_P(CommandSilence, ClicksOnCommandsDuringTheWaitStartNoSecondExchange) {
  LinkedRig rig;
  rig.port.answers["T0000000000000000001"] = {{milliseconds(200), "T"}};
  rig.port.answers["E"] = {{milliseconds(200), "E"}};
  QStringList nested;
  rig.view.onDoEvents = [&](int pass) {
    if (pass == 1) nested << OutcomeWord(enviar_Click(rig.form));
    if (pass == 2) nested << OutcomeWord(fire_Click(rig.form));
  };

  EXPECT_EQ(OutcomeWord(GetParam().click(rig.form)), "ok");
  EXPECT_EQ(nested, (QStringList{"busy", "busy"}));

  EXPECT_TRUE(rig.port.sent == "T0000000000000000001" || rig.port.sent == "E")
      << rig.port.sent.toStdString();
  EXPECT_EQ(rig.form.Conecta, 0) << "the outer command still takes its answer";
}

INSTANTIATE_TEST_SUITE_P(Commands, CommandSilence,
                         ::testing::Values(SilenceCase{"Upload", &enviar_Click},
                                           SilenceCase{"Activation", &fire_Click}),
                         kCaseName);

TEST(Activation, SendsExactlyOneEWhateverTheWindowShows) {
  LinkedRig rig;
  rig.set({{Ctl::horas, "5"}, {Ctl::minutos, "xx"}});
  rig.view.setValue(Ctl::Option1, false);
  rig.view.setValue(Ctl::Option2, false);
  rig.port.answers["E"] = {{milliseconds(10), "E"}};

  fire_Click(rig.form);

  EXPECT_EQ(rig.port.sent, "E");
  EXPECT_EQ(rig.port.ops, (QStringList{"send E", "clear"}));
}

TEST(Activation, SuccessIsSilentAndLeavesFireEnabled) {
  LinkedRig rig;
  rig.port.answers["E"] = {{milliseconds(5), "x"}, {milliseconds(30), "yEz"}};

  fire_Click(rig.form);

  EXPECT_EQ(rig.view.ops, (QStringList{"status Conectado", "caption Conectar Desconectar",
                                       "enable Conectar 1", "enable enviar 1"}));
  EXPECT_TRUE(rig.view.enabled(Ctl::fire));
  EXPECT_EQ(rig.form.Conecta, 0);
}

TEST(Activation, OtherCapitalsAndLowerCaseEAreNoAnswer) {
  for (const char* answer : {"e", "S", "T", "Y"}) {
    LinkedRig rig;
    rig.port.answers["E"] = {{milliseconds(5), answer}};
    fire_Click(rig.form);
    EXPECT_EQ(rig.form.Conecta, 1) << answer;
    EXPECT_EQ(rig.view.messages(), QStringList{Shown(kNoDevice)}) << answer;
  }
}

}  // namespace
