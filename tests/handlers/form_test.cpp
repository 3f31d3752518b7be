// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <ostream>

#include "handlers/connect.h"
#include "handlers/form.h"
#include "support/fakes.h"
#include "support/named_case.h"

namespace {

// The rig starts as the program does; a second start shows what it writes.
TEST(StartUp, WritesTheUnlinkedStateInOrder) {
  Rig rig;
  rig.form.puert = 7;
  rig.form.Conecta = 0;
  Form_Load(rig.form);

  QStringList expected = {
      "caption Conectar Conectar",
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
      "enable Frame1 0",
      "value Option3 1",
      "value Option4 0",
  };
  for (int n = 1; n <= 16; ++n) expected << QStringLiteral("item Combo1 Com%1").arg(n);
  expected << "index Combo1 0";
  EXPECT_EQ(rig.view.ops, expected);

  EXPECT_EQ(rig.form.puert, 1);
  EXPECT_EQ(rig.form.Conecta, 1);
  EXPECT_FALSE(rig.port.isOpen());
  EXPECT_TRUE(rig.port.ops.isEmpty()) << "start-up talks to no port";
}

struct ShutDownCase {
  const char* name;
  bool linked;
  bool bySalir;
};

TIMER_NAMED_CASE(ShutDownCase)

class ShutDown : public ::testing::TestWithParam<ShutDownCase> {};

TEST_P(ShutDown, ClosesAnOpenPortOnceAndEndsTheProgram) {
  const ShutDownCase& c = GetParam();
  Rig rig;
  if (c.linked) rig.link();
  ASSERT_EQ(rig.port.isOpen(), c.linked);
  rig.view.onUnload = [&] { Form_Unload(rig.form); };

  if (c.bySalir) {
    Command1_Click(rig.form);
  } else {
    Form_Unload(rig.form);
  }

  EXPECT_FALSE(rig.port.isOpen());
  EXPECT_EQ(rig.port.closes(), c.linked ? 1 : 0);
  EXPECT_EQ(rig.view.ops.last(), "end");
  EXPECT_TRUE(rig.form.m_unloaded);
}

INSTANTIATE_TEST_SUITE_P(Paths, ShutDown,
                         ::testing::Values(ShutDownCase{"SalirLinked", true, true},
                                           ShutDownCase{"SalirUnlinked", false, true},
                                           ShutDownCase{"CloseLinked", true, false},
                                           ShutDownCase{"CloseUnlinked", false, false}),
                         kCaseName);

TEST(ShutDown, DuringTheHandshakeWaitTheHandlerNeverResumes) {
  Rig rig;
  rig.view.onUnload = [&] { Form_Unload(rig.form); };
  rig.view.onDoEvents = [&](int pass) {
    if (pass == 2) Command1_Click(rig.form);
  };

  EXPECT_EQ(OutcomeWord(Conectar_Click(rig.form)), "unloaded");

  EXPECT_EQ(rig.port.closes(), 1);
  EXPECT_TRUE(rig.view.messages().isEmpty());
  EXPECT_EQ(rig.view.ops, (QStringList{"enable Conectar 0", "unload", "end"}));
  EXPECT_EQ(rig.port.sent, "Y");
  EXPECT_EQ(rig.view.doEventsCount(), 2) << "the wait must stop polling at once";
}

}  // namespace
