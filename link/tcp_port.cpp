// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/tcp_port.h"

#include <QEventLoop>
#include <QLoggingCategory>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <utility>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#endif

#include "link/tracing_port.h"

// Every byte on the socket in RFC 2217 mode, negotiation included, for
// whoever turns it on: QT_LOGGING_RULES="timer.telnet.debug=true".
namespace {

Q_LOGGING_CATEGORY(lcTelnet, "timer.telnet", QtInfoMsg)

void LogTelnet(const char* direction, const QByteArray& bytes) {
  if (!bytes.isEmpty())
    qCDebug(lcTelnet, "%s", qUtf8Printable(TraceLine({}, direction, bytes).trimmed()));
}

// How much a single emptying reads at most from a server that keeps sending.
constexpr qint64 kMostDropped = 1 << 20;

PortFault FaultOfConnecting(QAbstractSocket::SocketError error) {
  switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
      return PortFault::Refused;
    case QAbstractSocket::HostNotFoundError:
      return PortFault::HostNotFound;
    case QAbstractSocket::SocketTimeoutError:
    case QAbstractSocket::NetworkError:
      return PortFault::NoResponse;
    default:
      return PortFault::Other;
  }
}

// Runs the window's events until `done` says so after bytes arrived, the
// connection ends or `most` has passed.
void WaitOnSocket(QTcpSocket& socket, std::chrono::milliseconds most,
                  const std::function<bool()>& done) {
  if (done()) return;
  QEventLoop loop;
  QTimer giveUp;
  giveUp.setSingleShot(true);
  QObject::connect(&giveUp, &QTimer::timeout, &loop, &QEventLoop::quit);
  QObject::connect(&socket, &QIODevice::readyRead, &loop, [&] {
    if (done()) loop.quit();
  });
  QObject::connect(&socket, &QAbstractSocket::stateChanged, &loop,
                   [&loop](QAbstractSocket::SocketState s) {
                     if (s == QAbstractSocket::UnconnectedState) loop.quit();
                   });
  giveUp.start(most);
  loop.exec();
}

}  // namespace

TcpPort::TcpPort(PortMap map, QObject* parent) : MappedPort(std::move(map), parent) {}

TcpPort::~TcpPort() {
  close();
}

// In raw mode the device server sets the serial line itself.
bool TcpPort::setSettings(const LineSettings& settings) {
  m_settings = settings;
  return true;
}

bool TcpPort::open() {
  if (isOpen()) return false;
  const std::optional<NetworkAddress> address = ParseNetworkPath(path());
  if (!address) {
    notOpened(PortFault::NoDevice,
              Text(QT_TRANSLATE_NOOP("timer", "no network address stands behind this number")));
    return false;
  }
  m_telnet = address->rfc2217 ? std::make_unique<TelnetCodec>() : nullptr;
  m_data.clear();
  if (!connectTo(*address)) return false;
  m_open = true;
  recordOpened();
  return true;
}

// Made at the first connection: most Com numbers never reach a server, and
// a socket made at start-up would cost every start its share of Qt Network.
void TcpPort::makeSocket() {
  m_socket = std::make_unique<QTcpSocket>();
  m_socket->setReadBufferSize(kReceiveBufferSize);
  connect(m_socket.get(), &QAbstractSocket::disconnected, this, &TcpPort::lineLost);
  connect(m_socket.get(), &QAbstractSocket::errorOccurred, this,
          [this](QAbstractSocket::SocketError error) {
            if (m_open && error != QAbstractSocket::SocketTimeoutError &&
                error != QAbstractSocket::TemporaryError)
              lineLost();
          });
}

bool TcpPort::connectTo(const NetworkAddress& address) {
  if (!m_socket) makeSocket();
  // The window keeps running while the connection is made: its events run in
  // this loop, and a close() from one of them ends the attempt.
  QEventLoop loop;
  QTimer giveUp;
  giveUp.setSingleShot(true);
  giveUp.setTimerType(Qt::PreciseTimer);
  connect(&giveUp, &QTimer::timeout, &loop, &QEventLoop::quit);
  const QMetaObject::Connection connected =
      connect(m_socket.get(), &QAbstractSocket::connected, &loop, &QEventLoop::quit);
  const QMetaObject::Connection ended = connect(m_socket.get(), &QAbstractSocket::stateChanged,
                                                &loop, [&loop](QAbstractSocket::SocketState s) {
                                                  if (s == QAbstractSocket::UnconnectedState)
                                                    loop.quit();
                                                });
  const quint64 attempt = opening();
  m_connecting = true;
  m_socket->connectToHost(address.host, address.port);
  giveUp.start(kConnectTime);
  if (m_socket->state() != QAbstractSocket::ConnectedState &&
      m_socket->state() != QAbstractSocket::UnconnectedState) {
    loop.exec();
  }
  disconnect(connected);
  disconnect(ended);
  if (opening() == attempt && m_socket->state() == QAbstractSocket::ConnectedState &&
      !prepareConnection()) {
    m_connecting = false;
    m_socket->abort();
    // Closed from here while the line was being set: said as any close is.
    if (opening() == attempt) return false;
  }
  m_connecting = false;

  if (opening() != attempt) {
    notOpened(PortFault::None, {});
    return false;
  }
  if (m_socket->state() == QAbstractSocket::ConnectedState) return true;
  if (m_socket->state() != QAbstractSocket::UnconnectedState) {
    notOpened(PortFault::NoResponse,
              Text(QT_TRANSLATE_NOOP("timer", "no answer within %1 s"),
                   {QString::number(std::chrono::seconds(kConnectTime).count())}));
  } else {
    notOpened(FaultOfConnecting(m_socket->error()), Text(m_socket->errorString()));
  }
  m_socket->abort();
  return false;
}

// What a new connection needs before it counts as open: in raw mode, what the
// server kept from before is dropped; in RFC 2217 mode, the line is set.
bool TcpPort::prepareConnection() {
  m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
  if (m_telnet) return setUpLine();
  dropBacklog();
  return true;
}

void TcpPort::dropBacklog() {
  // A server keeps what the device sent while nobody was connected (a late
  // answer to an earlier client) and delivers it at once on connecting: what
  // comes before the server has been quiet a moment is dropped.
  QEventLoop loop;
  QTimer quiet;
  QTimer most;
  quiet.setSingleShot(true);
  most.setSingleShot(true);
  connect(&quiet, &QTimer::timeout, &loop, &QEventLoop::quit);
  connect(&most, &QTimer::timeout, &loop, &QEventLoop::quit);
  const QMetaObject::Connection arrived =
      connect(m_socket.get(), &QIODevice::readyRead, &loop, [this, &quiet] {
        m_socket->readAll();
        quiet.start(kBacklogQuiet);
      });
  const QMetaObject::Connection ended = connect(m_socket.get(), &QAbstractSocket::stateChanged,
                                                &loop, [&loop](QAbstractSocket::SocketState s) {
                                                  if (s == QAbstractSocket::UnconnectedState)
                                                    loop.quit();
                                                });
  m_socket->readAll();
  quiet.start(kBacklogQuiet);
  most.start(kBacklogMost);
  loop.exec();
  disconnect(arrived);
  disconnect(ended);
}

namespace {

// RFC 2217's requests and the values a line setting takes in them.
constexpr quint8 kSetBaudRate = 1;
constexpr quint8 kSetDataSize = 2;
constexpr quint8 kSetParity = 3;
constexpr quint8 kSetStopSize = 4;
constexpr quint8 kSetControl = 5;
constexpr quint8 kPurgeData = 12;
constexpr char kNoFlowControl = 1;
constexpr char kDtrOff = 9;
constexpr char kRtsOff = 12;
constexpr char kPurgeBoth = 3;

char ParityValue(QSerialPort::Parity parity) {
  switch (parity) {
    case QSerialPort::OddParity:
      return 2;
    case QSerialPort::EvenParity:
      return 3;
    case QSerialPort::MarkParity:
      return 4;
    case QSerialPort::SpaceParity:
      return 5;
    default:
      return 1;
  }
}

struct Setting {
  quint8 command;
  QByteArray value;
  const char* name;
};

// What must be confirmed, each with its value, in the order it is asked;
// the purge comes last, so what arrives before its answer is from before.
QList<Setting> SettingsOf(const LineSettings& s) {
  QByteArray baud(4, '\0');
  for (int i = 0; i < 4; ++i) baud[3 - i] = static_cast<char>((s.baud >> (8 * i)) & 0xff);
  char stop = 1;
  if (s.stopBits == QSerialPort::TwoStop) stop = 2;
  if (s.stopBits == QSerialPort::OneAndHalfStop) stop = 3;
  return {
      {kSetBaudRate, baud, QT_TRANSLATE_NOOP("timer", "the baud rate")},
      {kSetDataSize, QByteArray(1, static_cast<char>(s.dataBits)),
       QT_TRANSLATE_NOOP("timer", "the data bits")},
      {kSetParity, QByteArray(1, ParityValue(s.parity)), QT_TRANSLATE_NOOP("timer", "the parity")},
      {kSetStopSize, QByteArray(1, stop), QT_TRANSLATE_NOOP("timer", "the stop bits")},
      {kSetControl, QByteArray(1, kNoFlowControl), QT_TRANSLATE_NOOP("timer", "no flow control")},
      {kPurgeData, QByteArray(1, kPurgeBoth),
       QT_TRANSLATE_NOOP("timer", "the emptying of its buffers")}};
}

}  // namespace

namespace {

// What the server has said so far of the settings asked for.
struct Confirmations {
  QList<Setting> unconfirmed;
  Text refused;
  // Anything at all of the Com Port Control option.
  bool heard = false;

  bool done() const { return !refused.isEmpty() || unconfirmed.isEmpty(); }

  void take(TelnetCodec& telnet) {
    if (telnet.comPort() == TelnetCodec::ComPortState::Refused)
      refused =
          Text(QT_TRANSLATE_NOOP("timer", "the device server refuses RFC 2217 (Com Port Control)"));
    const QList<TelnetCodec::ComPortAnswer> answers = telnet.takeAnswers();
    heard = heard || !answers.isEmpty() || telnet.comPort() != TelnetCodec::ComPortState::Asked;
    for (const TelnetCodec::ComPortAnswer& answer : answers) {
      const auto asked =
          std::find_if(unconfirmed.begin(), unconfirmed.end(), [&](const Setting& s) {
            return answer.command == s.command + TelnetCodec::kServerOffset;
          });
      if (asked == unconfirmed.end()) continue;
      if (answer.value != asked->value)
        refused = Text(QT_TRANSLATE_NOOP("timer", "the device server did not set %1"),
                       {Text(asked->name)});
      unconfirmed.erase(asked);
    }
  }
};

}  // namespace

bool TcpPort::setUpLine() {
  Confirmations line{SettingsOf(m_settings), {}, false};
  QByteArray asked = TelnetCodec::offer();
  for (const Setting& s : line.unconfirmed) asked += TelnetCodec::request(s.command, s.value);
  // DTR and RTS off as on a direct line; a server whose line has no modem
  // control (a pseudo-terminal) does not answer these, and need not.
  asked += TelnetCodec::request(kSetControl, QByteArray(1, kDtrOff)) +
           TelnetCodec::request(kSetControl, QByteArray(1, kRtsOff));
  LogTelnet("tx", asked);
  m_socket->write(asked);

  const auto check = [&] {
    takeIn();
    m_data.clear();  // sent before the purge
    line.take(*m_telnet);
    return line.done();
  };
  const quint64 attempt = opening();
  WaitOnSocket(*m_socket, kFirstAnswerTime, [&] { return check() || line.heard; });
  if (line.heard && !line.done() && opening() == attempt)
    WaitOnSocket(*m_socket, kSettingTime, check);
  if (opening() != attempt) return false;  // a port change or Salir closed it
  if (line.done() && line.refused.isEmpty()) return true;
  notOpened(
      PortFault::SettingRefused,
      line.done() ? line.refused : unconfirmedReason(line.heard, line.unconfirmed.front().name));
  return false;
}

// Why the settings were not all confirmed: a server that answered nothing to
// the option is most likely in raw TCP mode, or busy with another client.
Text TcpPort::unconfirmedReason(bool heard, const char* first) const {
  if (m_socket->state() != QAbstractSocket::ConnectedState)
    return Text(QT_TRANSLATE_NOOP(
        "timer", "the device server closed the connection while setting the line"));
  if (!heard)
    return Text(QT_TRANSLATE_NOOP("timer",
                                  "the device server answered nothing to RFC 2217 within %1 s: it "
                                  "may be in raw TCP mode (use tcp:HOST:PORT) or serving another "
                                  "client"),
                {QString::number(std::chrono::seconds(kFirstAnswerTime).count())});
  return Text(QT_TRANSLATE_NOOP("timer", "the device server did not confirm %1 within %2 s"),
              {Text(first), QString::number(std::chrono::seconds(kSettingTime).count())});
}

void TcpPort::close() {
  if (!isOpen()) return;
  m_open = false;
  m_connecting = false;
  m_socket->abort();
  recordClosed();
}

bool TcpPort::isOpen() const {
  return m_open || m_connecting;
}

int TcpPort::inBufferCount() {
  if (!m_open) return 0;
  if (!m_telnet) return static_cast<int>(m_socket->bytesAvailable());
  takeIn();
  return static_cast<int>(m_data.size());
}

bool TcpPort::clearInBuffer() {
  if (!m_open) return false;
  if (m_telnet) {
    // The negotiation in what is dropped still counts.
    takeIn();
    m_data.clear();
    return true;
  }
  m_socket->readAll();
#ifdef Q_OS_UNIX
  // Also what the system holds and Qt has not read yet, as a serial line's
  // emptying drops what the driver holds.
  char scrap[4096];
  qint64 dropped = 0;
  ssize_t n = 0;
  while (dropped < kMostDropped && (n = ::recv(static_cast<int>(m_socket->socketDescriptor()),
                                               scrap, sizeof scrap, MSG_DONTWAIT)) > 0) {
    dropped += n;
  }
#endif
  return true;
}

bool TcpPort::output(const QByteArray& data) {
  if (!m_open || failed()) return false;
  if (!m_telnet) return m_socket->write(data) == data.size();
  const QByteArray bytes = TelnetCodec::escape(data);
  LogTelnet("tx", bytes);
  return m_socket->write(bytes) == bytes.size();
}

QByteArray TcpPort::input() {
  if (!m_open) return {};
  if (!m_telnet) return m_socket->readAll();
  takeIn();
  return std::exchange(m_data, {});
}

void TcpPort::takeIn() {
  const QByteArray raw = m_socket->readAll();
  LogTelnet("rx", raw);
  m_data += m_telnet->decode(raw);
  const QByteArray replies = m_telnet->takeReplies();
  LogTelnet("tx", replies);
  if (!replies.isEmpty()) m_socket->write(replies);
}

void TcpPort::lineLost() {
  if (m_open) lost(PortFault::ConnectionLost);
}
