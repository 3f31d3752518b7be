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

#include "device/protocol.h"
#include "link/tcp_port.h"
#include "link/telnet.h"
#include "support/device_server.h"
#include "support/message_boxes.h"
#include "support/named_case.h"
#include "support/sim_process.h"
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

// The simulator behind a device server, and the window on Com3.
struct Served : ::testing::TestWithParam<DeviceServer::Kind> {
  void SetUp() override {
    sim = std::make_unique<SimProcess>(std::vector<std::string>{
        "--mono", "01:30:15", "--on", "00:00:10", "--off", "00:02:00", "--power-up", "off"});
    ASSERT_FALSE(sim->path().isEmpty());
    server = std::make_unique<DeviceServer>(sim->path(), GetParam());
    ASSERT_FALSE(server->address().isEmpty())
        << "the device server did not start (scripts/install-deps.sh installs it): "
        << server->problem().toStdString();
    rig = std::make_unique<WindowRig>(MapCom3To(server->address()));
    ChooseCom3(*rig);
  }

  std::unique_ptr<SimProcess> sim;
  std::unique_ptr<DeviceServer> server;
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

INSTANTIATE_TEST_SUITE_P(Servers, Served,
                         ::testing::Values(DeviceServer::Kind::Ser2netRaw,
                                           DeviceServer::Kind::Ser2netRfc2217,
                                           DeviceServer::Kind::Pyserial),
                         [](const ::testing::TestParamInfo<DeviceServer::Kind>& kind) {
                           switch (kind.param) {
                             case DeviceServer::Kind::Ser2netRaw:
                               return "Ser2netRaw";
                             case DeviceServer::Kind::Ser2netRfc2217:
                               return "Ser2netRfc2217";
                             case DeviceServer::Kind::Ser2netRfc2217Tls:
                             case DeviceServer::Kind::SocatTls:  // tests/e2e/tls_test.cpp
                             case DeviceServer::Kind::Pyserial:
                               break;
                           }
                           return "PyserialRfc2217";
                         });

// An RFC 2217 server that answers every client as told, after `delay`:
// confirms each setting asked, refuses the Com Port Control option, or
// answers nothing at all (a server in raw mode). What a server's answers mean
// is tested in this process (tests/link/telnet_test.cpp); here, the waits.
class ScriptedRfc2217Server {
 public:
  enum class Answer { Confirms, RefusesTheOption, Nothing };

  explicit ScriptedRfc2217Server(Answer answer, std::chrono::milliseconds delay = {}) {
    m_server.listen(QHostAddress::LocalHost);
    QObject::connect(&m_server, &QTcpServer::newConnection, [this, answer, delay] {
      QTcpSocket* client = m_server.nextPendingConnection();
      QObject::connect(client, &QIODevice::readyRead, client, [client, answer, delay] {
        const QByteArray reply = Reply(answer, client->readAll());
        QTimer::singleShot(delay, client, [client, reply] { client->write(reply); });
      });
    });
  }
  QString address() const {
    return QStringLiteral("rfc2217://127.0.0.1:%1").arg(m_server.serverPort());
  }

 private:
  static QByteArray Reply(Answer answer, const QByteArray& asked) {
    if (answer == Answer::Nothing) return {};
    if (answer == Answer::RefusesTheOption)
      return asked.contains("\xff\xfb\x2c") ? "\xff\xfe\x2c" : "";
    // The client's requests are framed as the server's answers are.
    TelnetCodec requests;
    requests.decode(asked);
    QByteArray reply = asked.contains("\xff\xfb\x2c") ? "\xff\xfd\x2c" : "";
    for (const TelnetCodec::ComPortAnswer& request : requests.takeAnswers())
      reply += TelnetCodec::request(request.command + TelnetCodec::kServerOffset, request.value);
    return reply;
  }

  QTcpServer m_server;
};

struct SetUpCase {
  const char* name;
  ScriptedRfc2217Server::Answer answer;
  std::chrono::milliseconds delay;
  const char* reason;  // nullptr: the port opens; "": it does not, and says nothing
  std::chrono::milliseconds closeAfter{};  // a port change or Salir meanwhile
};

TIMER_NAMED_CASE(SetUpCase)

class LineSetUp : public ::testing::TestWithParam<SetUpCase> {};

// What an RFC 2217 server says of the line's settings decides the opening,
// and why it fails says what the server did.
TEST_P(LineSetUp, OpensOnlyOnceEverySettingIsConfirmedAsAsked) {
  const SetUpCase& c = GetParam();
  const ScriptedRfc2217Server server(c.answer, c.delay);
  TcpPort port(MapCom3To(server.address()));
  port.setCommPort(3);
  port.setSettings(kLineSettings);
  if (c.closeAfter > 0ms) QTimer::singleShot(c.closeAfter, [&port] { port.close(); });

  static QStringList logged;
  logged.clear();
  const QtMessageHandler before = qInstallMessageHandler(
      [](QtMsgType, const QMessageLogContext&, const QString& message) { logged << message; });
  const bool opened = port.open();
  qInstallMessageHandler(before);

  EXPECT_EQ(opened, c.reason == nullptr);
  const QString reason = port.errorText().english();
  EXPECT_TRUE(c.reason && *c.reason ? reason.startsWith(QLatin1String(c.reason)) : reason.isEmpty())
      << reason.toStdString();
  // Neither an opening nor an attempt closed from the window logs a failure.
  EXPECT_TRUE(logged.isEmpty()) << logged.join(QLatin1Char('\n')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Servers, LineSetUp,
    ::testing::Values(SetUpCase{"Confirms", ScriptedRfc2217Server::Answer::Confirms, 0ms, nullptr},
                      // Still letting its previous client go.
                      SetUpCase{"ConfirmsAfterThreeSeconds",
                                ScriptedRfc2217Server::Answer::Confirms, 3000ms, nullptr},
                      SetUpCase{"ClosedWhileSettingTheLine", ScriptedRfc2217Server::Answer::Nothing,
                                0ms, "", 300ms}),
    kCaseName);

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
  const ScriptedRfc2217Server noComPort(ScriptedRfc2217Server::Answer::RefusesTheOption);
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
