// SPDX-License-Identifier: GPL-3.0-or-later
// Upload and activation from the real window to the built simulator.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

#include <chrono>

#include "e2e/sim_process.h"
#include "support/message_boxes.h"
#include "support/window_rig.h"

namespace {

using namespace std::chrono_literals;

void Click(WindowRig& rig, Ctl c) {
  QTest::mouseClick(rig.window.button(c), Qt::LeftButton);
}

// Types into a field as the operator does: click it, replace its text.
void Type(WindowRig& rig, Ctl field, const QString& text) {
  QLineEdit* box = rig.window.timeBox(field);
  QTest::mouseClick(box, Qt::LeftButton);
  box->selectAll();
  QTest::keyClicks(box, text);
}

QStringList Fields(WindowRig& rig, std::initializer_list<Ctl> fields) {
  QStringList texts;
  for (Ctl c : fields) texts << rig.window.text(c);
  return texts;
}

struct SimWindow : ::testing::Test {
  void start(const std::vector<std::string>& args) {
    sim = std::make_unique<SimProcess>(args);
    ASSERT_FALSE(sim->path().isEmpty());
    rig = std::make_unique<WindowRig>(MapCom1To(sim->path()));
    rig->window.show();
    rig->window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&rig->window));
    Click(*rig, Ctl::Conectar);
    ASSERT_EQ(rig->window.statusText(), "Conectado");
  }
  void relink() {
    Click(*rig, Ctl::Conectar);
    ASSERT_EQ(rig->window.statusText(), "Desconectado");
    for (Ctl c : {Ctl::horas, Ctl::minutos, Ctl::segundos, Ctl::horas_on, Ctl::segundos_off})
      rig->window.setText(c, QStringLiteral("77"));
    Click(*rig, Ctl::Conectar);
    ASSERT_EQ(rig->window.statusText(), "Conectado");
  }

  std::unique_ptr<SimProcess> sim;
  std::unique_ptr<WindowRig> rig;
  MessageBoxCloser boxes;
};

TEST_F(SimWindow, AMonostableUploadIsStoredAndReadBackByANewLink) {
  start({"--instant"});
  Type(*rig, Ctl::horas, "2");
  Type(*rig, Ctl::minutos, "03");
  Type(*rig, Ctl::segundos, "45");

  Click(*rig, Ctl::enviar);

  EXPECT_EQ(boxes.seen, QStringList{Box(kUploadDone)});
  ASSERT_TRUE(sim->waitForEvent("tx T", 3000ms));
  relink();
  EXPECT_EQ(Fields(*rig, {Ctl::horas, Ctl::minutos, Ctl::segundos}),
            (QStringList{"02", "03", "45"}));
  EXPECT_TRUE(rig->window.value(Ctl::Option3));
}

TEST_F(SimWindow, ABistableConfigurationEditedInTheWindowIsStored) {
  start({});
  Click(*rig, Ctl::Option2);
  Type(*rig, Ctl::horas_on, "1");
  Type(*rig, Ctl::minutos_on, "20");
  Type(*rig, Ctl::segundos_on, "5");
  Type(*rig, Ctl::horas_off, "99");
  Type(*rig, Ctl::minutos_off, "59");
  Type(*rig, Ctl::segundos_off, "0");
  Click(*rig, Ctl::Option4);

  Click(*rig, Ctl::enviar);

  EXPECT_EQ(boxes.seen, QStringList{Box(kUploadDone)});
  EXPECT_EQ(rig->window.text(Ctl::horas_on), "01");
  relink();
  EXPECT_EQ(Fields(*rig, {Ctl::horas_on, Ctl::minutos_on, Ctl::segundos_on, Ctl::horas_off,
                          Ctl::minutos_off, Ctl::segundos_off}),
            (QStringList{"01", "20", "05", "99", "59", "00"}));
  EXPECT_TRUE(rig->window.value(Ctl::Option4));
}

TEST_F(SimWindow, AnActivationIsSeenByTheDeviceAndShowsNothing) {
  start({"--mono", "00:00:01"});
  Click(*rig, Ctl::fire);
  EXPECT_TRUE(boxes.seen.isEmpty());
  EXPECT_EQ(rig->window.statusText(), "Conectado");
  EXPECT_TRUE(rig->window.control(Ctl::fire)->isEnabled());
  EXPECT_TRUE(sim->waitForEvent("rx E", 3000ms));
  EXPECT_TRUE(sim->waitForEvent("output ON", 3000ms));
}

TEST_F(SimWindow, AHangUpRightAfterAnUploadIsSaidAfterItsConfirmation) {
  start({"--instant", "--hangup-after", "2"});

  Click(*rig, Ctl::enviar);
  ASSERT_TRUE(sim->waitForEvent("hangup", 3000ms));
  const auto unlinked = [&] { return rig->window.statusText() == "Desconectado"; };
  const auto deadline = std::chrono::steady_clock::now() + 1s;
  while (!unlinked() && std::chrono::steady_clock::now() < deadline) QTest::qWait(10);

  EXPECT_EQ(boxes.seen, (QStringList{Box(kUploadDone), Box(kPortUnavailable)}));
  EXPECT_EQ(rig->window.statusText(), "Desconectado");
  EXPECT_FALSE(rig->port.isOpen());
  EXPECT_TRUE(rig->window.control(Ctl::Conectar)->isEnabled());
  EXPECT_FALSE(rig->window.control(Ctl::enviar)->isEnabled());
  EXPECT_FALSE(rig->window.control(Ctl::fire)->isEnabled());
}

}  // namespace
