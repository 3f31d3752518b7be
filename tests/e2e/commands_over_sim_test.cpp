// SPDX-License-Identifier: GPL-3.0-or-later
// Upload and activation from the real window to the built simulator.

#include <gtest/gtest.h>

#include <QTest>

#include <chrono>

#include "support/fakes.h"
#include "support/message_boxes.h"
#include "support/sim_process.h"
#include "support/window_rig.h"

namespace {

using namespace std::chrono_literals;

struct SimWindow : ::testing::Test {
  void start(const std::vector<std::string>& args) {
    sim = std::make_unique<SimProcess>(args);
    ASSERT_FALSE(sim->path().isEmpty());
    rig = std::make_unique<WindowRig>(MapCom1To(sim->path()));
    ASSERT_TRUE(Activate(rig->window));
    Click(rig->window, Ctl::Conectar);
    ASSERT_EQ(rig->window.statusText(), "Conectado");
  }
  void relink() {
    Click(rig->window, Ctl::Conectar);
    ASSERT_EQ(rig->window.statusText(), "Desconectado");
    for (Ctl c : {Ctl::horas, Ctl::minutos, Ctl::segundos, Ctl::horas_on, Ctl::segundos_off})
      rig->window.setText(c, QStringLiteral("77"));
    Click(rig->window, Ctl::Conectar);
    ASSERT_EQ(rig->window.statusText(), "Conectado");
  }

  std::unique_ptr<SimProcess> sim;
  std::unique_ptr<WindowRig> rig;
  MessageBoxCloser boxes;
};

TEST_F(SimWindow, AMonostableUploadIsStoredAndReadBackByANewLink) {
  start({"--instant"});
  Type(rig->window, Ctl::horas, "2");
  Type(rig->window, Ctl::minutos, "03");
  Type(rig->window, Ctl::segundos, "45");

  Click(rig->window, Ctl::enviar);

  EXPECT_EQ(boxes.seen, QStringList{Box(kUploadDone)});
  ASSERT_TRUE(sim->waitForEvent("tx T", 3000ms));
  relink();
  EXPECT_EQ(TextsOf(rig->window, {Ctl::horas, Ctl::minutos, Ctl::segundos}),
            (QStringList{"02", "03", "45"}));
  EXPECT_TRUE(rig->window.value(Ctl::Option3));
}

TEST_F(SimWindow, ABistableConfigurationEditedInTheWindowIsStored) {
  start({});
  Click(rig->window, Ctl::Option2);
  Type(rig->window, Ctl::horas_on, "1");
  Type(rig->window, Ctl::minutos_on, "20");
  Type(rig->window, Ctl::segundos_on, "5");
  Type(rig->window, Ctl::horas_off, "99");
  Type(rig->window, Ctl::minutos_off, "59");
  Type(rig->window, Ctl::segundos_off, "0");
  Click(rig->window, Ctl::Option4);

  Click(rig->window, Ctl::enviar);

  EXPECT_EQ(boxes.seen, QStringList{Box(kUploadDone)});
  EXPECT_EQ(rig->window.text(Ctl::horas_on), "01");
  relink();
  EXPECT_EQ(TextsOf(rig->window, {Ctl::horas_on, Ctl::minutos_on, Ctl::segundos_on, Ctl::horas_off,
                                  Ctl::minutos_off, Ctl::segundos_off}),
            (QStringList{"01", "20", "05", "99", "59", "00"}));
  EXPECT_TRUE(rig->window.value(Ctl::Option4));
}

TEST_F(SimWindow, AnActivationIsSeenByTheDeviceAndShowsNothing) {
  start({"--mono", "00:00:01"});
  Click(rig->window, Ctl::fire);
  EXPECT_TRUE(boxes.seen.isEmpty());
  EXPECT_EQ(rig->window.statusText(), "Conectado");
  EXPECT_TRUE(rig->window.control(Ctl::fire)->isEnabled());
  EXPECT_TRUE(sim->waitForEvent("rx E", 3000ms));
  EXPECT_TRUE(sim->waitForEvent("output ON", 3000ms));
}

TEST_F(SimWindow, AHangUpRightAfterAnUploadIsSaidAfterItsConfirmation) {
  start({"--instant", "--hangup-after", "2"});

  Click(rig->window, Ctl::enviar);
  ASSERT_TRUE(sim->waitForEvent("hangup", 3000ms));
  EXPECT_TRUE(QTest::qWaitFor([&] { return rig->window.statusText() == "Desconectado"; }, 1000));

  EXPECT_EQ(boxes.seen, (QStringList{Box(kUploadDone), Box(kPortUnavailable)}));
  EXPECT_FALSE(rig->port.isOpen());
  EXPECT_TRUE(rig->window.control(Ctl::Conectar)->isEnabled());
  EXPECT_FALSE(rig->window.control(Ctl::enviar)->isEnabled());
  EXPECT_FALSE(rig->window.control(Ctl::fire)->isEnabled());
}

}  // namespace
