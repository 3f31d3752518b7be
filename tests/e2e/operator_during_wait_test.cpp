// SPDX-License-Identifier: GPL-3.0-or-later
// The operator keeps using the window while it waits for the device: every
// enabled control is clicked, a port is chosen, a field is typed into and the
// window is closed, during each kind of wait.

#include <gtest/gtest.h>

#include <QTest>
#include <QTimer>

#include <ostream>

#include "support/message_boxes.h"
#include "support/named_case.h"
#include "support/sim_process.h"
#include "support/window_rig.h"

namespace {

// The device answers this late, so that the operator acts inside the wait.
constexpr int kReplyDelayMs = 500;
constexpr int kActAfterMs = 150;

enum class Wait { Handshake, Upload, Activation };
enum class Act { Conectar, Enviar, Fire, Salir, Mono, Bi, ChoosePort, Type, Close };

struct Scenario {
  std::string name;  // the wait's, then the act's
  Wait wait;
  Act act;
  // Messages the behaviour allows; the tool ends linked or not.
  QStringList messages;
  bool linked;
};

TIMER_NAMED_CASE(Scenario)

void Act_(WindowRig& rig, Act act) {
  const auto click = [&](Ctl c) { Click(rig.window, c); };
  switch (act) {
    case Act::Conectar:
      return click(Ctl::Conectar);
    case Act::Enviar:
      return click(Ctl::enviar);
    case Act::Fire:
      return click(Ctl::fire);
    case Act::Salir:
      return click(Ctl::Command1);
    case Act::Mono:
      return click(Ctl::Option1);
    case Act::Bi:
      return click(Ctl::Option2);
    case Act::ChoosePort:
      return PressOnPortList(rig.window, Qt::Key_Down);
    case Act::Type:
      return Type(rig.window, Ctl::horas, QStringLiteral("7"));
    case Act::Close:
      rig.window.close();
      return;
  }
}

class OperatorDuringWait : public ::testing::TestWithParam<Scenario> {};

TEST_P(OperatorDuringWait, EndsAsTheBehaviourAllows) {
  const Scenario& s = GetParam();
  SimProcess sim({"--instant", "--reply-delay", std::to_string(kReplyDelayMs)});
  ASSERT_FALSE(sim.path().isEmpty());
  PortMap map = MapCom1To(sim.path());
  map.set(2, sim.path());  // a port choice that reaches the same device
  WindowRig rig(map);
  ASSERT_TRUE(Activate(rig.window));
  MessageBoxCloser boxes;
  if (s.wait != Wait::Handshake) {
    Click(rig.window, Ctl::Conectar);
    ASSERT_EQ(rig.window.statusText(), "Conectado");
  }

  QTimer::singleShot(kActAfterMs, &rig.window, [&] { Act_(rig, s.act); });
  const Ctl command = s.wait == Wait::Handshake ? Ctl::Conectar
                      : s.wait == Wait::Upload  ? Ctl::enviar
                                                : Ctl::fire;
  Click(rig.window, command);
  QTest::qWait(kReplyDelayMs * 2);  // whatever a refused click may still bring

  EXPECT_EQ(boxes.seen, s.messages);
  if (s.act == Act::Salir || s.act == Act::Close) {
    EXPECT_TRUE(rig.form.m_unloaded);
    EXPECT_FALSE(rig.port.isOpen());
    return;
  }
  EXPECT_EQ(rig.window.statusText(), s.linked ? "Conectado" : "Desconectado");
  EXPECT_EQ(rig.port.isOpen(), s.linked) << "the port is closed whenever the tool is unlinked";
  EXPECT_TRUE(rig.window.control(Ctl::Conectar)->isEnabled());

  // And the next link works.
  if (s.linked) Click(rig.window, Ctl::Conectar);
  Click(rig.window, Ctl::Conectar);
  EXPECT_EQ(rig.window.statusText(), "Conectado");
}

// clang-format off
std::string NameOf(Wait wait) {
  switch (wait) {
    case Wait::Handshake: return "Handshake";
    case Wait::Upload: return "Upload";
    case Wait::Activation: break;
  }
  return "Activation";
}

std::string NameOf(Act act) {
  switch (act) {
    case Act::Conectar: return "Conectar";
    case Act::Enviar: return "Enviar";
    case Act::Fire: return "Fire";
    case Act::Salir: return "Salir";
    case Act::Mono: return "Mono";
    case Act::Bi: return "Bi";
    case Act::ChoosePort: return "ChoosePort";
    case Act::Type: return "Type";
    case Act::Close: break;
  }
  return "Close";
}
// clang-format on

std::vector<Scenario> Scenarios() {
  std::vector<Scenario> all;
  const auto add = [&all](Wait wait, Act act, const QStringList& messages, bool linked) {
    all.push_back({NameOf(wait) + "_" + NameOf(act), wait, act, messages, linked});
  };
  // Unlinked while probing: only Salir, the port list and closing are enabled.
  for (Act act : {Act::Salir, Act::ChoosePort, Act::Close}) add(Wait::Handshake, act, {}, false);
  for (Wait wait : {Wait::Upload, Wait::Activation}) {
    const QStringList done = wait == Wait::Upload ? QStringList{Box(kUploadDone)} : QStringList{};
    // A second command starts no exchange; the outer one takes its answer.
    for (Act act : {Act::Enviar, Act::Fire, Act::Mono, Act::Bi, Act::Type})
      add(wait, act, done, true);
    // Dropping the link ends the wait without a word.
    for (Act act : {Act::Conectar, Act::ChoosePort}) add(wait, act, {}, false);
    for (Act act : {Act::Salir, Act::Close}) add(wait, act, {}, false);
  }
  return all;
}

INSTANTIATE_TEST_SUITE_P(Scenarios, OperatorDuringWait, ::testing::ValuesIn(Scenarios()),
                         kCaseName);

}  // namespace
