// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <ostream>

#include "handlers/connect.h"
#include "handlers/port_selection.h"
#include "model/time_fields.h"
#include "support/fakes.h"
#include "support/named_case.h"

namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;

const QStringList kDisconnectChanges = {"caption Conectar Conectar",
                                        "status Desconectado",
                                        "enable enviar 0",
                                        "enable fire 0",
                                        "enable segundos 0",
                                        "enable minutos 0",
                                        "enable horas 0",
                                        "enable segundos_on 0",
                                        "enable minutos_on 0",
                                        "enable horas_on 0",
                                        "enable segundos_off 0",
                                        "enable minutos_off 0",
                                        "enable horas_off 0",
                                        "enable Option1 0",
                                        "enable Option2 0",
                                        "enable Frame1 0"};

struct ProbeCase {
  const char* name;
  std::vector<Piece> reply;
  // segundos, minutos, horas, then the ON and the OFF fields, as the device orders them.
  QStringList fields;
  bool encendido;
};

TIMER_NAMED_CASE(ProbeCase)

class ProbeReply : public ::testing::TestWithParam<ProbeCase> {};

TEST_P(ProbeReply, FillsTheFieldsAndThePowerUpOption) {
  const ProbeCase& c = GetParam();
  Rig rig;
  rig.port.answers["Y"] = c.reply;

  EXPECT_EQ(OutcomeWord(Conectar_Click(rig.form)), "ok");

  ASSERT_EQ(rig.form.Conecta, 0);
  EXPECT_EQ(rig.view.status(), "Conectado");
  EXPECT_EQ(TextsOf(rig.view, kDeviceFieldOrder), c.fields);
  EXPECT_EQ(rig.view.value(Ctl::Option3), c.encendido);
  EXPECT_EQ(rig.view.value(Ctl::Option4), !c.encendido);
  EXPECT_TRUE(rig.view.messages().isEmpty());
}

const QStringList kWhole{"15", "30", "01", "10", "00", "00", "00", "02", "00"};
const QStringList kZeroFields{"00", "00", "00", "00", "00", "00", "00", "00", "00"};

// clang-format off
INSTANTIATE_TEST_SUITE_P(Replies, ProbeReply, ::testing::Values(
    ProbeCase{"Whole", {{milliseconds(90), "1530011000000002001Y"}}, kWhole, true},
    ProbeCase{"PowerUpOff", {{milliseconds(90), "0000000000000000000Y"}}, kZeroFields, false},
    ProbeCase{"InPiecesYInTheThird", {{milliseconds(10), "1530"}, {milliseconds(40), "0110000000"},
              {milliseconds(90), "02001Y"}}, kWhole, true},
    ProbeCase{"OnlyY", {{milliseconds(5), "Y"}}, {"Y", "", "", "", "", "", "", "", ""}, false},
    ProbeCase{"Short", {{milliseconds(5), "123Y"}}, {"12", "3Y", "", "", "", "", "", "", ""}, false},
    // What follows the "Y" in the same read moves the flag: it is always
    // the next-to-last character.
    ProbeCase{"CharactersAfterY", {{milliseconds(90), "0000000000000000000Y12"}}, kZeroFields, true},
    // However long the reply, its start gives the fields and its
    // next-to-last character the flag.
    ProbeCase{"FloodBetweenFieldsAndFlag", {{milliseconds(90), "153001100000000200"},
              {milliseconds(95), QByteArray(200000, 'z')}, {milliseconds(99), "1Y"}}, kWhole, true},
    ProbeCase{"LowerCaseYIsNoAnswer", {{milliseconds(5), "y"},
              {milliseconds(500), "5900990000000000001Y"}},
              {"y5", "90", "09", "90", "00", "00", "00", "00", "00"}, true}),
    kCaseName);
// clang-format on

TEST(Handshake, SuccessWritesItsListInOrder) {
  Rig rig;
  rig.port.answers["Y"] = {{milliseconds(90), "1530011000000002000Y"}};

  Conectar_Click(rig.form);

  EXPECT_EQ(rig.port.ops,
            (QStringList{"commport 1", "settings 2400,N,8,1", "open", "clear", "send Y"}));
  EXPECT_EQ(rig.view.ops,
            (QStringList{
                "enable Conectar 0",     "status Conectado",      "caption Conectar Desconectar",
                "enable fire 1",         "enable Conectar 1",     "enable enviar 1",
                "enable Option1 1",      "enable Option2 1",      "value Option1 1",
                "value Option2 0",       "enable segundos 1",     "enable minutos 1",
                "enable horas 1",        "enable segundos_on 0",  "enable minutos_on 0",
                "enable horas_on 0",     "enable segundos_off 0", "enable minutos_off 0",
                "enable horas_off 0",    "enable Frame1 0",       "text segundos '15'",
                "text minutos '30'",     "text horas '01'",       "text segundos_on '10'",
                "text minutos_on '00'",  "text horas_on '00'",    "text segundos_off '00'",
                "text minutos_off '02'", "text horas_off '00'",   "value Option3 0",
                "value Option4 1",
            }));
  EXPECT_EQ(rig.form.Conecta, 0);
  EXPECT_TRUE(rig.port.isOpen());
}

TEST(Handshake, SilenceGivesOneMessageAfterTwoSecondsAndClosesThePort) {
  Rig rig;
  bool openDuringMessage = false;
  rig.view.onMsgBox = [&] { openDuringMessage = rig.port.isOpen(); };

  EXPECT_EQ(OutcomeWord(Conectar_Click(rig.form)), "no answer");

  EXPECT_EQ(rig.view.ops,
            (QStringList{"enable Conectar 0", Shown(kNoDevice), "enable Conectar 1"}));
  EXPECT_TRUE(openDuringMessage);
  EXPECT_FALSE(rig.port.isOpen());
  EXPECT_EQ(rig.form.Conecta, 1);
  EXPECT_EQ(rig.view.status(), "Desconectado");
  EXPECT_NEAR(rig.clock.elapsed().count(), 2'000'000, 2'000);
}

// A device that keeps sending other characters at the wire's pace, one every
// 4.17 ms at 2400 baud: the gaps between them add up to the wait's 2 s.
TEST(Handshake, ChatterAtTheWirePaceIsGivenUpAfterTwoSecondsOfGaps) {
  constexpr microseconds kCharacterTime{4167};
  struct Case {
    const char* name;
    microseconds chatter;  // then the read-back, in pieces
    const char* result;
    microseconds endsAfter;
  };
  for (const Case& c :
       {Case{"ChatterOutlastsTheWait", milliseconds(3000), "no answer", milliseconds(2000)},
        Case{"AnAnswerInPiecesWithinTheWaitLinks", milliseconds(1500), "ok", milliseconds(1660)}}) {
    Rig rig;
    std::vector<Piece> reply;
    for (microseconds at = kCharacterTime; at <= c.chatter; at += kCharacterTime)
      reply.push_back({at, "x"});
    microseconds at = c.chatter;
    for (const char* piece : {"1530", "011000", "000002", "001Y"}) {
      at += milliseconds(40);
      reply.push_back({at, piece});
    }
    rig.port.answers["Y"] = reply;

    EXPECT_EQ(OutcomeWord(Conectar_Click(rig.form)), c.result) << c.name;
    EXPECT_NEAR(rig.clock.elapsed().count(), c.endsAfter.count(), c.endsAfter.count() / 10.0)
        << c.name;
  }
}

TEST(Handshake, PortThatCannotBeOpenedLeavesTheToolUnlinked) {
  Rig rig;
  rig.port.missing = {1};

  const Outcome outcome = Conectar_Click(rig.form);

  EXPECT_EQ(OutcomeWord(outcome), "port unavailable");
  EXPECT_EQ(outcome.reply.reason.english(), "scripted failure") << "the port's own reason";
  EXPECT_EQ(rig.view.messages(), QStringList{Shown(kPortUnavailable)});
  EXPECT_EQ(rig.view.ops.last(), "enable Conectar 1");
  EXPECT_FALSE(rig.port.isOpen());
  EXPECT_EQ(rig.form.Conecta, 1);
  EXPECT_EQ(rig.view.status(), "Desconectado");
  EXPECT_TRUE(rig.port.sent.isEmpty());
}

TEST(Handshake, LineFailureDuringTheWaitClosesThePortAndFreesTheButton) {
  Rig rig;
  // The wait's own path reports it; the line's failure event adds nothing.
  rig.port.setFailureHandler([&] { Conexion_OnComm(rig.form); });
  rig.port.breakLine(milliseconds(300));

  EXPECT_EQ(OutcomeWord(Conectar_Click(rig.form)), "port unavailable");

  EXPECT_EQ(rig.view.ops,
            (QStringList{"enable Conectar 0", Shown(kPortUnavailable), "enable Conectar 1"}));
  EXPECT_FALSE(rig.port.isOpen());
  EXPECT_EQ(rig.form.Conecta, 1);
  EXPECT_LT(rig.view.doEventsCount(), 20) << "a failed line must not be waited out";

  // The next attempt works again.
  rig.view.onDoEvents = nullptr;
  rig.link();
  EXPECT_EQ(rig.form.Conecta, 0);
}

TEST(Handshake, PortChangeDuringTheWaitEndsItWithoutAMessage) {
  Rig rig;
  rig.port.answers["Y"] = {{milliseconds(500), "0000000000000000001Y"}};
  rig.view.onDoEvents = [&](int pass) {
    if (pass != 2) return;
    rig.view.setListIndex(Ctl::Combo1, 4);
    Combo1_Click(rig.form);
  };

  EXPECT_EQ(OutcomeWord(Conectar_Click(rig.form)), "port closed");

  EXPECT_TRUE(rig.view.messages().isEmpty());
  EXPECT_EQ(rig.view.ops.last(), "enable Conectar 1");
  EXPECT_EQ(rig.view.doEventsCount(), 2);
  EXPECT_EQ(rig.form.puert, 5);
  EXPECT_EQ(rig.form.Conecta, 1);
  EXPECT_FALSE(rig.port.isOpen());
  EXPECT_EQ(rig.view.status(), "Desconectado");
}

TEST(Handshake, DisconnectWritesItsListAndKeepsTextsAndSelections) {
  LinkedRig rig("1530011000000002000Y");

  Conectar_Click(rig.form);

  EXPECT_EQ(rig.port.ops, QStringList{"close"});
  EXPECT_TRUE(rig.port.sent.isEmpty()) << "disconnecting sends nothing";
  EXPECT_EQ(rig.view.ops, kDisconnectChanges);
  EXPECT_EQ(rig.form.Conecta, 1);
  EXPECT_EQ(rig.view.text(Ctl::segundos), "15");
  EXPECT_TRUE(rig.view.value(Ctl::Option1));
  EXPECT_TRUE(rig.view.value(Ctl::Option4));
}

TEST(Handshake, ConnectingAgainOpensTheChosenPortAndReadsTheFieldsAnew) {
  LinkedRig rig("1530011000000002000Y");
  Conectar_Click(rig.form);
  rig.view.setListIndex(Ctl::Combo1, 2);
  Combo1_Click(rig.form);
  rig.port.answers["Y"] = {{milliseconds(90), "0102030405060708091Y"}};
  rig.port.ops.clear();

  Conectar_Click(rig.form);

  EXPECT_EQ(rig.port.ops.mid(0, 3), (QStringList{"commport 3", "settings 2400,N,8,1", "open"}));
  EXPECT_EQ(TextsOf(rig.view, kDeviceFieldOrder),
            (QStringList{"01", "02", "03", "04", "05", "06", "07", "08", "09"}));
  EXPECT_TRUE(rig.view.value(Ctl::Option3));
}

// The line goes away while linked and idle (the adapter unplugged): one
// message, then the disconnect branch's list; a failure that repeats, or one
// while unlinked, changes nothing more.
TEST(LineLost, WhileLinkedAndIdleGivesOneMessageThenTheDisconnectList) {
  LinkedRig rig("1530011000000002000Y");
  std::vector<Outcome> outcomes;
  rig.port.setFailureHandler([&] { outcomes.push_back(Conexion_OnComm(rig.form)); });

  rig.port.breakLine();
  rig.port.breakLine();

  QStringList expected = {Shown(kPortUnavailable)};
  expected += kDisconnectChanges;
  EXPECT_EQ(rig.view.ops, expected);
  EXPECT_EQ(rig.port.ops, QStringList{"close"});
  EXPECT_EQ(rig.form.Conecta, 1);
  ASSERT_EQ(outcomes.size(), 2u);
  EXPECT_EQ(OutcomeWord(outcomes[0]), "port unavailable");
  EXPECT_EQ(outcomes[0].reply.fault, PortFault::Unplugged);
  EXPECT_EQ(OutcomeWord(outcomes[1]), "ok") << "nothing left to drop";
  EXPECT_EQ(rig.view.text(Ctl::segundos), "15") << "texts are kept";
  EXPECT_TRUE(rig.view.value(Ctl::Option1)) << "selections are kept";
}

TEST(PortChange, WhileUnlinkedOnlyRecordsTheNumber) {
  Rig rig;
  rig.view.setListIndex(Ctl::Combo1, 15);
  rig.view.ops.clear();

  Combo1_Click(rig.form);

  EXPECT_EQ(rig.form.puert, 16);
  EXPECT_TRUE(rig.view.ops.isEmpty());
  EXPECT_TRUE(rig.port.ops.isEmpty());
}

TEST(PortChange, WhileLinkedDropsTheLinkButKeepsModeOptionsAndBistableFields) {
  LinkedRig rig;
  // The operator had switched to bistable mode.
  for (Ctl c : {Ctl::segundos_on, Ctl::minutos_on, Ctl::horas_on, Ctl::segundos_off,
                Ctl::minutos_off, Ctl::horas_off, Ctl::Frame1})
    rig.view.setEnabled(c, true);
  rig.view.setListIndex(Ctl::Combo1, 0);
  rig.view.ops.clear();

  Combo1_Click(rig.form);

  EXPECT_EQ(rig.port.ops, QStringList{"close"});
  EXPECT_EQ(rig.view.ops, (QStringList{"caption Conectar Conectar", "status Desconectado",
                                       "enable enviar 0", "enable fire 0", "enable segundos 0",
                                       "enable minutos 0", "enable horas 0"}));
  EXPECT_EQ(rig.form.Conecta, 1);
  EXPECT_EQ(rig.form.puert, 1);
  for (Ctl c : {Ctl::Option1, Ctl::Option2, Ctl::horas_on, Ctl::segundos_off, Ctl::Frame1})
    EXPECT_TRUE(rig.view.enabled(c)) << ControlName(c);
}

}  // namespace
