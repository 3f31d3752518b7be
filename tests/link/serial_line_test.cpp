// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <ostream>

#include <QSerialPort>
#include <QTest>

#include "support/message_boxes.h"
#include "support/named_case.h"
#include "support/pty_device.h"
#include "support/window_rig.h"

namespace {

QByteArray AnswerProbeWith(const QByteArray& received, const QByteArray& readBack) {
  return received.contains('Y') ? readBack : QByteArray();
}

// A line as another program may leave it: another speed, two stop bits, both
// kinds of flow control, line editing and echo.
termios LineLeftByAnotherProgram() {
  termios tio{};
  cfmakeraw(&tio);
  cfsetispeed(&tio, B9600);
  cfsetospeed(&tio, B9600);
  tio.c_cflag |= CSTOPB | CRTSCTS;
  tio.c_iflag |= IXON | IXOFF;
  tio.c_lflag |= ICANON | ECHO | ISIG;
  tio.c_oflag |= OPOST;
  return tio;
}

// 2400 baud, 8 data bits, no parity, one stop bit, no flow control, raw. (A
// pseudo-terminal keeps CS8 and no parity whatever is asked; a UART would not.)
void ExpectTheProgramsLineSettings(const termios& tio) {
  EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B2400));
  EXPECT_EQ(cfgetispeed(&tio), static_cast<speed_t>(B2400));
  EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(tio.c_cflag & PARENB, 0u);
  EXPECT_EQ(tio.c_cflag & CSTOPB, 0u) << "one stop bit";
  EXPECT_EQ(tio.c_cflag & CRTSCTS, 0u) << "no hardware flow control";
  EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | IXANY), 0u) << "no software flow control";
  EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u) << "raw";
  EXPECT_EQ(tio.c_oflag & OPOST, 0u) << "raw";
}

TEST(SerialLine, LinksThroughQSerialPortAndFillsTheFields) {
  const termios before = LineLeftByAnotherProgram();
  PtyDevice device([](const QByteArray& in) { return AnswerProbeWith(in, "1530011000000002000Y"); },
                   &before);
  ASSERT_FALSE(device.path().isEmpty());
  WindowRig rig(MapCom1To(device.path()));
  MessageBoxCloser boxes;

  Click(rig.window, Ctl::Conectar);
  ExpectTheProgramsLineSettings(device.settings());

  EXPECT_TRUE(boxes.seen.isEmpty()) << boxes.seen.join('\n').toStdString();
  EXPECT_EQ(rig.window.statusText(), "Conectado");
  EXPECT_EQ(rig.window.button(Ctl::Conectar)->text(), "Desconectar");
  EXPECT_EQ(rig.window.text(Ctl::horas), "01");
  EXPECT_EQ(rig.window.text(Ctl::minutos), "30");
  EXPECT_EQ(rig.window.text(Ctl::segundos), "15");
  EXPECT_EQ(rig.window.text(Ctl::minutos_off), "02");
  EXPECT_TRUE(rig.window.value(Ctl::Option4));
  EXPECT_TRUE(rig.window.value(Ctl::Option1));
  EXPECT_TRUE(rig.window.control(Ctl::horas)->isEnabled());
  EXPECT_EQ(device.received(), "Y");

  // A second click disconnects; a third links again over the same line.
  Click(rig.window, Ctl::Conectar);
  EXPECT_FALSE(rig.port.isOpen());
  EXPECT_EQ(rig.window.statusText(), "Desconectado");
  Click(rig.window, Ctl::Conectar);
  EXPECT_EQ(rig.window.statusText(), "Conectado");
  EXPECT_EQ(device.received(), "YY");
}

TEST(SerialLine, TheSettingsAreAppliedAgainAtEveryOpening) {
  PtyDevice device(
      [](const QByteArray& in) { return AnswerProbeWith(in, "1530011000000002000Y"); });
  WindowRig rig(MapCom1To(device.path()));
  MessageBoxCloser boxes;
  Click(rig.window, Ctl::Conectar);
  Click(rig.window, Ctl::Conectar);
  // Another program changes the line while the tool is unlinked.
  const termios changed = LineLeftByAnotherProgram();
  ASSERT_EQ(tcsetattr(device.settingsFd(), TCSANOW, &changed), 0);

  Click(rig.window, Ctl::Conectar);

  EXPECT_EQ(rig.window.statusText(), "Conectado");
  ExpectTheProgramsLineSettings(device.settings());
}

TEST(SerialLine, ADeviceTalkingWhileTheToolIsIdleNeitherFillsMemoryNorHidesTheNextAnswer) {
  PtyDevice device([](const QByteArray& in) -> QByteArray {
    if (in.contains('Y')) return "0000000000000000001Y";
    if (in.contains('E')) return "E";
    return {};
  });
  WindowRig rig(MapCom1To(device.path()));
  MessageBoxCloser boxes;
  Click(rig.window, Ctl::Conectar);
  ASSERT_EQ(rig.window.statusText(), "Conectado");

  // Three times the receive buffer, while nobody waits.
  device.send(QByteArray(qsizetype{3} * kReceiveBufferSize, 'z'));
  QTest::qWait(200);
  EXPECT_LE(rig.port.inBufferCount(), kReceiveBufferSize) << "the receive buffer holds 1024 bytes";

  Click(rig.window, Ctl::fire);

  EXPECT_TRUE(boxes.seen.isEmpty()) << boxes.seen.join('\n').toStdString();
  EXPECT_EQ(rig.window.statusText(), "Conectado");
  EXPECT_TRUE(device.received().endsWith("E"));
}

TEST(SerialLine, BytesLeftFromBeforeTheOpeningAreDropped) {
  PtyDevice device(
      [](const QByteArray& in) { return AnswerProbeWith(in, "0000000000000000001Y"); });
  WindowRig rig(MapCom1To(device.path()));
  MessageBoxCloser boxes;
  // A whole read-back sits in the line from before the opening, as a device
  // that talked to an earlier program leaves it.
  device.send("5959595959595959590Y");
  QTest::qWait(50);

  Click(rig.window, Ctl::Conectar);

  EXPECT_EQ(rig.window.statusText(), "Conectado");
  EXPECT_EQ(rig.window.text(Ctl::segundos), "00");
  EXPECT_EQ(rig.window.text(Ctl::horas_off), "00");
  EXPECT_TRUE(rig.window.value(Ctl::Option3)) << "the power-up flag of the new answer";
}

// Com1 designates a path that does not exist; no other number, a device.
// (A port another program holds: tests/e2e/link_over_sim_test.cpp.)
struct UnavailableCase {
  const char* name;
  int com;  // the number chosen
};

TIMER_NAMED_CASE(UnavailableCase)

class UnavailablePort : public ::testing::TestWithParam<UnavailableCase> {};

TEST_P(UnavailablePort, SaysThePortIsNotAvailable) {
  WindowRig rig(MapCom1To(QStringLiteral("/dev/does-not-exist-timer")));
  MessageBoxCloser boxes;
  PressOnPortList(rig.window, Qt::Key_Down, GetParam().com - 1);
  ASSERT_EQ(rig.form.puert, GetParam().com);

  Click(rig.window, Ctl::Conectar);

  EXPECT_EQ(boxes.seen, QStringList{Box(kPortUnavailable)});
  EXPECT_FALSE(rig.port.isOpen());
  EXPECT_EQ(rig.form.Conecta, 1);
  EXPECT_TRUE(rig.window.control(Ctl::Conectar)->isEnabled());
  EXPECT_EQ(rig.window.statusText(), "Desconectado");
}

INSTANTIATE_TEST_SUITE_P(Cases, UnavailablePort,
                         ::testing::Values(UnavailableCase{"NoSuchDevice", 1},
                                           UnavailableCase{"NoDeviceBehindTheNumber", 7}),
                         kCaseName);

}  // namespace
