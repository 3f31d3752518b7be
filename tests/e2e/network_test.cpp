// SPDX-License-Identifier: GPL-3.0-or-later
// Com N on a serial device server: the real window and the network port
// through Debian's ser2net to the built simulator, and servers that refuse,
// do not exist, do not answer, or deliver what they kept from before.

#include <gtest/gtest.h>

#include <QFile>
#include <QLineEdit>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <ostream>
#include <vector>

#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include "e2e/ser2net_process.h"
#include "e2e/sim_process.h"
#include "support/message_boxes.h"
#include "support/named_case.h"
#include "support/window_rig.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const QString kPortBox = Box(kPortUnavailable);
constexpr std::chrono::milliseconds kEventTimeout{3000};

// Com3 designates the network address; Com1 and Com2 nothing.
PortMap MapCom3To(const QString& address) {
  PortMap map;
  map.set(3, address);
  return map;
}

void ChooseCom3(WindowRig& rig) {
  PressOnPortList(rig.window, Qt::Key_Down, 2);
  ASSERT_EQ(rig.form.puert, 3);
}

// The line as the device's end of it is set: termios belongs to the terminal.
termios SettingsOf(const QString& line) {
  termios tio{};
  const int fd = ::open(QFile::encodeName(line).constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
  tcgetattr(fd, &tio);
  ::close(fd);
  return tio;
}

// The simulator behind ser2net in raw or RFC 2217 mode, and the window on Com3.
struct Served : ::testing::TestWithParam<bool> {
  void SetUp() override {
    sim = std::make_unique<SimProcess>(std::vector<std::string>{
        "--mono", "01:30:15", "--on", "00:00:10", "--off", "00:02:00", "--power-up", "off"});
    ASSERT_FALSE(sim->path().isEmpty());
    server = std::make_unique<Ser2netProcess>(sim->path(), GetParam());
    ASSERT_FALSE(server->address().isEmpty())
        << "ser2net did not start (scripts/install-deps.sh installs it): "
        << server->problem().toStdString();
    rig = std::make_unique<WindowRig>(MapCom3To(server->address()));
    ChooseCom3(*rig);
  }

  std::unique_ptr<SimProcess> sim;
  std::unique_ptr<Ser2netProcess> server;
  std::unique_ptr<WindowRig> rig;
  MessageBoxCloser boxes;
};

TEST_P(Served, LinksReadsBackUploadsAndFires) {
  EXPECT_EQ(rig->window.deviceText(), "Com3: " + server->address());

  Click(rig->window, Ctl::Conectar);
  ASSERT_EQ(rig->window.statusText(), "Conectado");
  const termios line = SettingsOf(sim->path());
  EXPECT_EQ(cfgetospeed(&line), B2400);
  EXPECT_EQ(line.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), tcflag_t{CS8});
  EXPECT_EQ(rig->window.text(Ctl::horas), "01");
  EXPECT_EQ(rig->window.text(Ctl::segundos), "15");
  EXPECT_EQ(rig->window.text(Ctl::minutos_off), "02");
  EXPECT_TRUE(rig->window.value(Ctl::Option4));

  Type(rig->window, Ctl::minutos, QStringLiteral("45"));
  Click(rig->window, Ctl::enviar);
  EXPECT_EQ(boxes.seen, QStringList{Box(kUploadDone)});
  ASSERT_TRUE(sim->waitForEvent("tx T", kEventTimeout));

  Click(rig->window, Ctl::fire);
  EXPECT_EQ(rig->window.statusText(), "Conectado");
  EXPECT_TRUE(sim->waitForEvent("rx E", kEventTimeout));

  Click(rig->window, Ctl::Conectar);
  Click(rig->window, Ctl::Conectar);
  EXPECT_EQ(rig->window.statusText(), "Conectado");
  EXPECT_EQ(rig->window.text(Ctl::minutos), "45") << "read back as uploaded";
  EXPECT_EQ(boxes.seen.size(), 1);
}

TEST_P(Served, AServerThatGoesAwayWhileLinkedIsNoticedAndSaidOnce) {
  Click(rig->window, Ctl::Conectar);
  ASSERT_EQ(rig->window.statusText(), "Conectado");

  const QString address = server->address();
  server->stop();
  const auto stopped = Clock::now();

  EXPECT_TRUE(QTest::qWaitFor([&] { return rig->window.statusText() == "Desconectado"; }, 1000));
  EXPECT_LT(Clock::now() - stopped, 1s);
  QTest::qWait(300);
  EXPECT_EQ(boxes.seen, QStringList{kPortBox});
  EXPECT_FALSE(rig->port.isOpen());
  EXPECT_FALSE(rig->window.control(Ctl::fire)->isEnabled());
  EXPECT_FALSE(rig->window.control(Ctl::Option1)->isEnabled());
  EXPECT_EQ(rig->window.deviceText(),
            "Com3: " + address + QStringLiteral(" · red: conexión perdida"));
}

INSTANTIATE_TEST_SUITE_P(Modes, Served, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& mode) {
                           return mode.param ? "Rfc2217" : "Raw";
                         });

// A server that speaks Telnet and refuses the Com Port Control option.
class RefusingRfc2217Server {
 public:
  RefusingRfc2217Server() {
    m_server.listen(QHostAddress::LocalHost);
    QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
      QTcpSocket* client = m_server.nextPendingConnection();
      QObject::connect(client, &QIODevice::readyRead, client, [client] {
        if (client->readAll().contains("\xff\xfb\x2c")) client->write("\xff\xfe\x2c");
      });
    });
  }
  QString address() const {
    return QStringLiteral("rfc2217://127.0.0.1:%1").arg(m_server.serverPort());
  }

 private:
  QTcpServer m_server;
};

// A listening socket whose queue is full: the kernel drops further attempts,
// as a host that does not answer does.
class SilentServer {
 public:
  SilentServer() {
    m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (::bind(m_fd, reinterpret_cast<sockaddr*>(&address), size) != 0 || ::listen(m_fd, 0) != 0)
      return;
    ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &size);
    m_port = ntohs(address.sin_port);
    for (auto& filler : m_fillers) {
      filler = std::make_unique<QTcpSocket>();
      filler->connectToHost(QHostAddress::LocalHost, m_port);
    }
    QTest::qWait(100);
  }
  ~SilentServer() { ::close(m_fd); }
  SilentServer(const SilentServer&) = delete;
  SilentServer& operator=(const SilentServer&) = delete;

  QString address() const { return QStringLiteral("tcp:127.0.0.1:%1").arg(m_port); }

 private:
  int m_fd = -1;
  quint16 m_port = 0;
  std::unique_ptr<QTcpSocket> m_fillers[3];
};

// A port on which nothing listens.
QString RefusingAddress() {
  QTcpServer probe;
  probe.listen(QHostAddress::LocalHost);
  return QStringLiteral("tcp:127.0.0.1:%1").arg(probe.serverPort());
}

struct UnreachableCase {
  const char* name;
  const char* reason;
  std::chrono::milliseconds atLeast, atMost;
};

TIMER_NAMED_CASE(UnreachableCase)

class Unreachable : public ::testing::TestWithParam<UnreachableCase> {};

TEST_P(Unreachable, IsNotAvailableWithItsReasonInTheStatusBar) {
  const UnreachableCase& c = GetParam();
  SilentServer silent;
  RefusingRfc2217Server noComPort;
  const QString name = QString::fromLatin1(c.name);
  const QString address = name == QLatin1String("Refused")        ? RefusingAddress()
                          : name == QLatin1String("HostNotFound") ? "tcp:no-such-host.invalid:4001"
                          : name == QLatin1String("NoRfc2217")    ? noComPort.address()
                                                                  : silent.address();
  WindowRig rig(MapCom3To(address));
  MessageBoxCloser boxes;
  ChooseCom3(rig);

  const auto start = Clock::now();
  Click(rig.window, Ctl::Conectar);
  const auto took = Clock::now() - start;

  EXPECT_EQ(boxes.seen, QStringList{kPortBox});
  EXPECT_EQ(rig.window.deviceText(), "Com3: " + address + " · " + QString::fromUtf8(c.reason));
  EXPECT_GE(took, c.atLeast);
  EXPECT_LE(took, c.atMost);
  EXPECT_EQ(rig.window.statusText(), "Desconectado");
  EXPECT_FALSE(rig.port.isOpen());
  EXPECT_TRUE(rig.window.control(Ctl::Conectar)->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Servers, Unreachable,
    ::testing::Values(UnreachableCase{"Refused", "red: conexión rechazada", 0ms, 2000ms},
                      UnreachableCase{"HostNotFound", "red: servidor no encontrado", 0ms, 3500ms},
                      UnreachableCase{"NoRfc2217", "red: el servidor no ajustó la línea a 2400 8N1",
                                      0ms, 1000ms},
                      // Given up after 3 s.
                      UnreachableCase{"NoAnswer", "red: sin respuesta", 2800ms, 3500ms}),
    kCaseName);

enum class Meanwhile { Nothing, ClickConectarAgain, ChooseAPort, Salir };

struct ConnectingCase {
  const char* name;
  Meanwhile act;
  QStringList messages;
};

TIMER_NAMED_CASE(ConnectingCase)

class WhileConnecting : public ::testing::TestWithParam<ConnectingCase> {};

// The connection takes up to 3 s; the window keeps running meanwhile, and
// what the operator does behaves as it does during a wait.
TEST_P(WhileConnecting, TheWindowRunsAndTheOperatorIsHeard) {
  const ConnectingCase& c = GetParam();
  SilentServer silent;
  WindowRig rig(MapCom3To(silent.address()));
  rig.window.show();
  MessageBoxCloser boxes;
  ChooseCom3(rig);
  int ticks = 0;
  QTimer repaint;
  QObject::connect(&repaint, &QTimer::timeout, [&] { ++ticks; });
  repaint.start(50);
  QTimer::singleShot(300, &rig.window, [&] {
    switch (c.act) {
      case Meanwhile::Nothing:
        break;
      case Meanwhile::ClickConectarAgain:
        Click(rig.window, Ctl::Conectar);
        break;
      case Meanwhile::ChooseAPort:
        PressOnPortList(rig.window, Qt::Key_Up);
        break;
      case Meanwhile::Salir:
        Click(rig.window, Ctl::Command1);
        break;
    }
  });

  const auto start = Clock::now();
  Click(rig.window, Ctl::Conectar);
  const auto took = Clock::now() - start;

  EXPECT_GE(ticks, 4) << "the window's events ran while connecting";
  EXPECT_EQ(boxes.seen, c.messages);
  if (c.act == Meanwhile::Salir) {
    EXPECT_TRUE(rig.form.m_unloaded);
    EXPECT_LT(took, 1s) << "Salir ends the program at once";
  }
  if (c.act == Meanwhile::ChooseAPort) {
    EXPECT_LT(took, 1s) << "the port change ends the attempt";
    EXPECT_EQ(rig.form.puert, 2);
  }
  if (c.act == Meanwhile::Nothing || c.act == Meanwhile::ClickConectarAgain) {
    EXPECT_GE(took, 2800ms) << "the one attempt runs to its end";
  }
  EXPECT_FALSE(rig.port.isOpen());
  EXPECT_EQ(rig.window.statusText(), "Desconectado");
  EXPECT_TRUE(rig.window.control(Ctl::Conectar)->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Acts, WhileConnecting,
    ::testing::Values(ConnectingCase{"Nothing", Meanwhile::Nothing, {kPortBox}},
                      // No second handshake: one attempt, one message.
                      ConnectingCase{
                          "ClickConectarAgain", Meanwhile::ClickConectarAgain, {kPortBox}},
                      ConnectingCase{"ChooseAPort", Meanwhile::ChooseAPort, {}},
                      ConnectingCase{"Salir", Meanwhile::Salir, {}}),
    kCaseName);

// A server delivers at once what the device sent while nobody was connected,
// such as a late answer to an earlier client; none of it reaches the fields.
TEST(NetworkPort, WhatTheServerKeptFromBeforeTheConnectionIsDropped) {
  QTcpServer server;
  ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
  QObject::connect(&server, &QTcpServer::newConnection, [&] {
    QTcpSocket* client = server.nextPendingConnection();
    client->write("5959595959595959590Y");
    QObject::connect(client, &QIODevice::readyRead, client, [client] {
      if (client->readAll().contains('Y')) client->write("0000000000000000001Y");
    });
  });
  WindowRig rig(MapCom3To(QStringLiteral("tcp:127.0.0.1:%1").arg(server.serverPort())));
  MessageBoxCloser boxes;
  ChooseCom3(rig);

  Click(rig.window, Ctl::Conectar);

  EXPECT_TRUE(boxes.seen.isEmpty()) << boxes.seen.join('\n').toStdString();
  EXPECT_EQ(rig.window.statusText(), "Conectado");
  EXPECT_EQ(rig.window.text(Ctl::segundos), "00");
  EXPECT_EQ(rig.window.text(Ctl::horas_off), "00");
  EXPECT_TRUE(rig.window.value(Ctl::Option3));
}

}  // namespace
