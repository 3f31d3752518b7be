// SPDX-License-Identifier: GPL-3.0-or-later
// The real window, QSerialPort and event-loop clock linking to the built
// simulator over a pseudo-terminal, driven by mouse clicks.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <QTest>

#include <array>
#include <chrono>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "gui/options.h"
#include "gui/program.h"
#include "support/fakes.h"
#include "support/held_port.h"
#include "support/message_boxes.h"
#include "support/named_case.h"
#include "support/sim_process.h"
#include "support/window_rig.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A silent device is given up after this much silence.
constexpr std::chrono::milliseconds kGiveUp{2000};
// Far more than any answer here takes, far less than the test time-out.
constexpr std::chrono::milliseconds kEventTimeout{3000};

// The configuration most cases give the simulator.
const std::vector<std::string> kConfig = {"--mono", "01:30:15", "--on",       "00:00:10",
                                          "--off",  "00:02:00", "--power-up", "off"};

std::vector<std::string> ConfigAnd(std::vector<std::string> extra) {
  std::vector<std::string> args = kConfig;
  args.insert(args.end(), extra.begin(), extra.end());
  return args;
}

// The click returns once the handler has finished, wait included.
std::chrono::milliseconds ClickConectar(WindowRig& rig) {
  const auto start = Clock::now();
  Click(rig.window, Ctl::Conectar);
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

QStringList Received(const SimProcess& sim) {
  return sim.events().filter(QRegularExpression(QStringLiteral("^rx ")));
}

// Window order: the monostable, ON and OFF times, hours first.
constexpr std::array<Ctl, 9> kTimeFields = {
    Ctl::horas,       Ctl::minutos,   Ctl::segundos,    Ctl::horas_on,     Ctl::minutos_on,
    Ctl::segundos_on, Ctl::horas_off, Ctl::minutos_off, Ctl::segundos_off,
};

void ExpectUnlinked(WindowRig& rig) {
  EXPECT_EQ(rig.window.statusText(), "Desconectado");
  EXPECT_FALSE(rig.port.isOpen());
  EXPECT_EQ(rig.form.Conecta, 1);
  EXPECT_TRUE(rig.window.control(Ctl::Conectar)->isEnabled());
  EXPECT_EQ(rig.window.button(Ctl::Conectar)->text(), "Conectar");
}

struct LinkCase {
  const char* name;
  std::vector<std::string> args;
  QStringList fields;  // in kTimeFields order
  bool powerUpOn;
  std::chrono::milliseconds atLeast{};  // the handshake takes
};

TIMER_NAMED_CASE(LinkCase)

class Linking : public ::testing::TestWithParam<LinkCase> {};

TEST_P(Linking, FillsTheFieldsFromTheReadBack) {
  const LinkCase& c = GetParam();
  SimProcess sim(c.args);
  ASSERT_FALSE(sim.path().isEmpty());
  WindowRig rig(MapCom1To(sim.path()));
  MessageBoxCloser boxes;

  EXPECT_GE(ClickConectar(rig), c.atLeast) << "a delay that did not take place proves nothing";

  EXPECT_TRUE(boxes.seen.isEmpty()) << boxes.seen.join('\n').toStdString();
  EXPECT_EQ(rig.window.statusText(), "Conectado");
  EXPECT_EQ(rig.window.button(Ctl::Conectar)->text(), "Desconectar");
  EXPECT_TRUE(rig.port.isOpen());
  EXPECT_EQ(TextsOf(rig.window, kTimeFields), c.fields);
  EXPECT_EQ(rig.window.value(Ctl::Option3), c.powerUpOn);
  EXPECT_EQ(rig.window.value(Ctl::Option4), !c.powerUpOn);
  EXPECT_TRUE(rig.window.control(Ctl::horas)->isEnabled());
  EXPECT_TRUE(rig.window.control(Ctl::fire)->isEnabled());
  ASSERT_TRUE(sim.waitForEvent("rx Y", kEventTimeout));
  EXPECT_EQ(Received(sim), QStringList{"rx Y"}) << "one probe, nothing else";
}

const QStringList kConfigFields = {"01", "30", "15", "00", "00", "10", "00", "02", "00"};

INSTANTIATE_TEST_SUITE_P(
    Sim, Linking,
    ::testing::Values(LinkCase{"SplitInThrees", ConfigAnd({"--split", "3"}), kConfigFields, false},
                      LinkCase{"Instant", ConfigAnd({"--instant"}), kConfigFields, false},
                      // Every field different, to catch fields swapped among themselves.
                      LinkCase{"EveryFieldDistinct",
                               {"--mono", "12:34:56", "--on", "01:02:03", "--off", "04:05:06",
                                "--power-up", "on"},
                               {"12", "34", "56", "01", "02", "03", "04", "05", "06"},
                               true},
                      // A second of silence before the answer is waited out.
                      LinkCase{"ASecondOfSilenceFirst", ConfigAnd({"--reply-delay", "1000"}),
                               kConfigFields, false, 1000ms}),
    kCaseName);

struct NoLinkCase {
  const char* name;
  std::vector<std::string> args;
  const Message* box;
  std::chrono::milliseconds atLeast, atMost;  // the handshake takes
  const char* lastEvent;                      // the simulator's
};

TIMER_NAMED_CASE(NoLinkCase)

class NoLink : public ::testing::TestWithParam<NoLinkCase> {};

TEST_P(NoLink, SaysWhyAndFreesThePort) {
  const NoLinkCase& c = GetParam();
  SimProcess sim(c.args);
  ASSERT_FALSE(sim.path().isEmpty());
  WindowRig rig(MapCom1To(sim.path()));
  MessageBoxCloser boxes;

  const auto waited = ClickConectar(rig);

  EXPECT_GE(waited, c.atLeast);
  EXPECT_LE(waited, c.atMost);
  EXPECT_EQ(boxes.seen, QStringList{Box(*c.box)});
  ExpectUnlinked(rig);
  ASSERT_TRUE(sim.waitForEvent(c.lastEvent, kEventTimeout));
  EXPECT_EQ(Received(sim), QStringList{"rx Y"});
}

// A silent device is given up after about 2 s of silence (in real time
// here; the gaps of a device that chatters meanwhile add up the same way, in
// simulated time in tests/handlers); the line failing ends the wait sooner.
INSTANTIATE_TEST_SUITE_P(
    Sim, NoLink,
    ::testing::Values(NoLinkCase{"Silent", {"--silent"}, &kNoDevice, 1600ms, 2400ms, "rx Y"},
                      NoLinkCase{"HangUp",
                                 {"--silent", "--hangup-after", "1"},
                                 &kPortUnavailable,
                                 0ms,
                                 kGiveUp - 1ms,
                                 "hangup"}),
    kCaseName);

TEST(Link, HangupWhileLinkedIsNoticedWithinASecondAndSaidOnce) {
  // Through a link that the simulator removes as it ends: the freed
  // pseudo-terminal number may be taken by another test's line meanwhile.
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString link = dir.filePath(QStringLiteral("timer"));
  SimProcess sim(ConfigAnd({"--hangup-after", "1", "--link", link.toStdString()}));
  ASSERT_FALSE(sim.path().isEmpty());
  WindowRig rig(MapCom1To(link));
  MessageBoxCloser boxes;

  ClickConectar(rig);
  ASSERT_EQ(rig.window.statusText(), "Conectado");
  ASSERT_TRUE(sim.waitForEvent("hangup", kEventTimeout));
  const auto hungUp = Clock::now();

  EXPECT_TRUE(QTest::qWaitFor([&] { return rig.window.statusText() == "Desconectado"; }, 1000));
  EXPECT_LT(Clock::now() - hungUp, 1s);
  QTest::qWait(300);
  EXPECT_EQ(boxes.seen, QStringList{Box(kPortUnavailable)}) << "said once";
  // The disconnect branch's list: texts and selections stay.
  ExpectUnlinked(rig);
  for (Ctl c : {Ctl::enviar, Ctl::fire, Ctl::horas, Ctl::segundos_off, Ctl::Option1, Ctl::Option2,
                Ctl::Frame1})
    EXPECT_FALSE(rig.window.control(c)->isEnabled()) << ControlName(c);
  EXPECT_EQ(rig.window.text(Ctl::minutos), "30");
  EXPECT_TRUE(rig.window.value(Ctl::Option4));
  EXPECT_EQ(rig.window.deviceText(),
            "Com1: " + link + QStringLiteral(" · el adaptador se desconectó"));

  // The line is gone with the simulator.
  const auto waited = ClickConectar(rig);
  EXPECT_LT(waited, kGiveUp);
  EXPECT_EQ(boxes.seen.size(), 2);
  EXPECT_EQ(boxes.seen.last(), Box(kPortUnavailable));
  EXPECT_EQ(rig.window.deviceText(),
            "Com1: " + link + QStringLiteral(" · no existe o está desconectado"));
  ExpectUnlinked(rig);
}

// Named through a link, the device is locked as itself: the lock another
// program took for it holds.
TEST(Link, TheProgramHoldingThePortIsNamed) {
  SimProcess sim(kConfig);
  const HeldPort held(sim.path(), true);
  QTemporaryDir dir;
  const QString link = dir.filePath(QStringLiteral("timer"));
  ASSERT_TRUE(QFile::link(sim.path(), link));
  WindowRig rig(MapCom1To(link));
  MessageBoxCloser boxes;
  ClickConectar(rig);
  EXPECT_EQ(boxes.seen, QStringList{Box(kPortUnavailable)});
  ExpectUnlinked(rig);
  EXPECT_EQ(rig.window.deviceText(), "Com1: " + link + " · en uso por " + held.name());
}

// Without a port map, Com1 is whatever adapter is present when the operator
// links or chooses the port: plugged in after the start, unplugged, back
// under another name.
TEST(Link, ComNumbersFollowTheAdaptersPresentAtEachLink) {
  SimProcess first(kConfig), second(kConfig);
  QStringList present;
  WindowRig rig;
  rig.port.followPorts([&present] { return PortMap::FromDevices(present); });
  MessageBoxCloser boxes;
  const auto expect = [&](const QStringList& plugged, const char* status, const QString& panel) {
    present = plugged;
    ClickConectar(rig);
    EXPECT_EQ(rig.window.statusText(), status);
    EXPECT_EQ(rig.window.deviceText(), panel);
    if (rig.form.Conecta == 0) ClickConectar(rig);
  };
  expect({first.path()}, "Conectado", "Com1: " + first.path());
  expect({}, "Desconectado", "Com1: sin dispositivo");
  expect({second.path()}, "Conectado", "Com1: " + second.path());
  present = {first.path()};
  rig.window.portList()->setFocus();
  QTest::keyClick(rig.window.portList(), Qt::Key_Down);
  QTest::keyClick(rig.window.portList(), Qt::Key_Up);
  EXPECT_EQ(rig.window.deviceText(), "Com1: " + first.path()) << "shown again when chosen";
}

TEST(Link, PluggedBackAfterAHangupItLinksAgain) {
  QTemporaryDir dir;
  const QString link = dir.filePath(QStringLiteral("timer"));
  auto sim = std::make_unique<SimProcess>(
      ConfigAnd({"--hangup-after", "1", "--link", link.toStdString()}));
  WindowRig rig(MapCom1To(link));
  MessageBoxCloser boxes;
  ClickConectar(rig);
  ASSERT_TRUE(sim->waitForEvent("hangup", kEventTimeout));
  ASSERT_TRUE(QTest::qWaitFor([&] { return rig.window.statusText() == "Desconectado"; }, 1000));

  sim = std::make_unique<SimProcess>(ConfigAnd({"--link", link.toStdString()}));
  ASSERT_FALSE(sim->path().isEmpty());
  ClickConectar(rig);
  EXPECT_EQ(rig.window.statusText(), "Conectado") << "the old failure is not kept";
}

}  // namespace

namespace {

// timer-rs232 --trace FILE: what a technician on site reads afterwards.
TEST(Link, TheProgramTracesEveryByteOfTheLine) {
  SimProcess sim(ConfigAnd({"--instant"}));
  ASSERT_FALSE(sim.path().isEmpty());
  Options options;
  options.ports = MapCom1To(sim.path());
  QBuffer trace;
  ASSERT_TRUE(trace.open(QIODevice::WriteOnly));
  Program program(options, &trace);
  program.Start();
  MessageBoxCloser boxes;

  Click(program.window(), Ctl::Conectar);

  ASSERT_EQ(program.window().statusText(), "Conectado");
  const QStringList lines = QString::fromUtf8(trace.data()).split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 2) << trace.data().toStdString();
  EXPECT_TRUE(lines[0].endsWith(" tx \"Y\" 59")) << lines[0].toStdString();
  EXPECT_TRUE(lines[1].contains(" rx \"1530011000000002000Y\" 31 35 33 30"))
      << lines[1].toStdString();
  program.window().close();
}

// timer-rs232 --log FILE: each link, upload, activation and line lost, one
// JSON line each; a record that cannot be opened is said, and the window works.
TEST(Link, TheProgramRecordsEachExchange) {
  SimProcess sim(ConfigAnd({"--instant", "--hangup-after", "3"}));
  QTemporaryDir dir;
  Options options;
  options.ports = MapCom1To(sim.path());
  options.recordFile = dir.filePath(QStringLiteral("record.jsonl"));
  Program program(options);
  program.Start();
  MessageBoxCloser boxes;
  ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(options.recordFile); }));
  for (Ctl c : {Ctl::Conectar, Ctl::enviar, Ctl::fire})
    QTest::mouseClick(program.window().button(c), Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([&] { return program.window().statusText() == "Desconectado"; }));

  QFile file(options.recordFile);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = file.readAll().trimmed().split('\n');
  ASSERT_EQ(lines.size(), 4);
  const auto line = [&](int i) { return QJsonDocument::fromJson(lines[i]).object(); };
  EXPECT_EQ(line(0)["read_back"].toObject()["mono"], "01:30:15");
  EXPECT_EQ(line(1)["sent"].toObject()["mono"], "01:30:15");
  EXPECT_EQ(line(1)["result"], "ok");
  EXPECT_EQ(line(2)["operation"], "fire");
  EXPECT_EQ(line(3)["operation"], "line lost");
  EXPECT_EQ(line(3)["path"], sim.path());

  options.recordFile = dir.path();
  Program unrecorded(options);
  unrecorded.Start();
  EXPECT_TRUE(QTest::qWaitFor([&] {
    return unrecorded.window().deviceText().startsWith("no se puede escribir el registro: ");
  }));
  program.window().close();
  unrecorded.window().close();
}

}  // namespace
