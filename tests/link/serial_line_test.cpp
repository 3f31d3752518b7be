#include <gtest/gtest.h>

#include <ostream>

#include <QElapsedTimer>
#include <QSerialPort>
#include <QTest>

#include "support/pty_device.h"
#include "support/window_rig.h"

namespace {

QByteArray AnswerProbeWith(const QByteArray& received, const QByteArray& readBack) {
  return received.contains('Y') ? readBack : QByteArray();
}

TEST(SerialLine, LinksThroughQSerialPortAndFillsTheFields) {
  PtyDevice device(
      [](const QByteArray& in) { return AnswerProbeWith(in, "1530011000000002000Y"); });
  ASSERT_FALSE(device.path().isEmpty());
  WindowRig rig(MapCom1To(device.path()));
  MessageBoxCloser boxes;

  QTest::mouseClick(rig.window.button(Ctl::Conectar), Qt::LeftButton);

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
  QTest::mouseClick(rig.window.button(Ctl::Conectar), Qt::LeftButton);
  EXPECT_FALSE(rig.port.isOpen());
  EXPECT_EQ(rig.window.statusText(), "Desconectado");
  QTest::mouseClick(rig.window.button(Ctl::Conectar), Qt::LeftButton);
  EXPECT_EQ(rig.window.statusText(), "Conectado");
  EXPECT_EQ(device.received(), "YY");
}

TEST(SerialLine, BytesLeftFromBeforeTheOpeningAreDropped) {
  PtyDevice device(
      [](const QByteArray& in) { return AnswerProbeWith(in, "0000000000000000001Y"); });
  WindowRig rig(MapCom1To(device.path()));
  MessageBoxCloser boxes;
  {
    // Stale bytes sitting in the line, as a device that talked earlier leaves them.
    QSerialPort other;
    other.setPortName(device.path());
    ASSERT_TRUE(other.open(QIODevice::ReadWrite));
  }
  QTest::mouseClick(rig.window.button(Ctl::Conectar), Qt::LeftButton);
  EXPECT_EQ(rig.window.statusText(), "Conectado");
  EXPECT_EQ(rig.window.text(Ctl::segundos), "00");
}

TEST(SerialLine, SilentDeviceIsGivenUpAfterAboutTwoSeconds) {
  PtyDevice device([](const QByteArray&) { return QByteArray(); });
  WindowRig rig(MapCom1To(device.path()));
  MessageBoxCloser boxes;
  QElapsedTimer timer;
  timer.start();

  QTest::mouseClick(rig.window.button(Ctl::Conectar), Qt::LeftButton);

  EXPECT_NEAR(timer.elapsed(), 2000, 200);
  EXPECT_EQ(boxes.seen, QStringList{"Conexion del TIMER | El dispositivo no se encuentra"});
  EXPECT_FALSE(rig.port.isOpen());
  EXPECT_EQ(rig.window.statusText(), "Desconectado");
  EXPECT_TRUE(rig.window.control(Ctl::Conectar)->isEnabled());
}

struct UnavailableCase {
  const char* name;
  bool heldByAnother;  // otherwise: Com1 designates a path that does not exist
};

// Cases print as their names in the test log.
void PrintTo(const UnavailableCase& c, std::ostream* os) {
  *os << c.name;
}

class UnavailablePort : public ::testing::TestWithParam<UnavailableCase> {};

TEST_P(UnavailablePort, SaysThePortIsNotAvailable) {
  PtyDevice device(
      [](const QByteArray& in) { return AnswerProbeWith(in, "0000000000000000001Y"); });
  QSerialPort holder;
  QString path = QStringLiteral("/dev/does-not-exist-timer");
  if (GetParam().heldByAnother) {
    path = device.path();
    holder.setPortName(path);
    ASSERT_TRUE(holder.open(QIODevice::ReadWrite));
  }
  WindowRig rig(MapCom1To(path));
  MessageBoxCloser boxes;

  QTest::mouseClick(rig.window.button(Ctl::Conectar), Qt::LeftButton);

  EXPECT_EQ(boxes.seen, QStringList{"Conexión del TIMER | El puerto no esta disponible"});
  EXPECT_FALSE(rig.port.isOpen());
  EXPECT_EQ(rig.form.Conecta, 1);
  EXPECT_TRUE(rig.window.control(Ctl::Conectar)->isEnabled());
  EXPECT_EQ(rig.window.statusText(), "Desconectado");
}

INSTANTIATE_TEST_SUITE_P(Cases, UnavailablePort,
                         ::testing::Values(UnavailableCase{"NoSuchDevice", false},
                                           UnavailableCase{"HeldByAnotherProgram", true}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(SerialLine, ComNumberWithNoDeviceIsNotAvailable) {
  WindowRig rig(MapCom1To(QStringLiteral("/dev/null-timer-none")));
  MessageBoxCloser boxes;
  rig.window.portList()->setCurrentIndex(6);
  emit rig.window.portList()->activated(6);
  ASSERT_EQ(rig.form.puert, 7);
  QTest::mouseClick(rig.window.button(Ctl::Conectar), Qt::LeftButton);
  EXPECT_EQ(boxes.seen.first(), "Conexión del TIMER | El puerto no esta disponible");
}

TEST(SerialLine, ClosingTheWindowDuringTheHandshakeEndsAtOnce) {
  PtyDevice device([](const QByteArray&) { return QByteArray(); });
  WindowRig rig(MapCom1To(device.path()));
  rig.window.show();
  MessageBoxCloser boxes;
  QTimer::singleShot(300, &rig.window, [&] { rig.window.close(); });
  QElapsedTimer timer;
  timer.start();

  QTest::mouseClick(rig.window.button(Ctl::Conectar), Qt::LeftButton);

  EXPECT_LT(timer.elapsed(), 1000);
  EXPECT_TRUE(rig.form.m_unloaded);
  EXPECT_FALSE(rig.port.isOpen());
  EXPECT_TRUE(boxes.seen.isEmpty());
  EXPECT_EQ(rig.window.statusText(), "Desconectado") << "the handler must not resume";
  EXPECT_EQ(device.received(), "Y");
}

}  // namespace
