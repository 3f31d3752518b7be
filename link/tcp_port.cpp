// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/tcp_port.h"

#include <QEventLoop>
#include <QLoggingCategory>
#include <QTimer>

#include <algorithm>
#include <utility>

#include "link/rfc2217.h"
#include "link/tls.h"
#include "link/tracing_port.h"

namespace {

// Every byte on the socket in RFC 2217 mode, negotiation included, for
// whoever turns it on: QT_LOGGING_RULES="timer.telnet.debug=true".
Q_LOGGING_CATEGORY(lcTelnet, "timer.telnet", QtInfoMsg)

void LogTelnet(const char* direction, const QByteArray& bytes) {
  if (!bytes.isEmpty())
    qCDebug(lcTelnet, "%s", qUtf8Printable(TraceLine({}, direction, bytes).trimmed()));
}

// How much a single emptying reads at most from a server that keeps sending.
constexpr qint64 kMostDropped = 1 << 20;

Text ServerClosed() {
  return Text(QT_TRANSLATE_NOOP("timer", "the device server closed the connection"));
}

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
  m_telnet = SetsTheLine(address->scheme) ? std::make_unique<TelnetCodec>() : nullptr;
  m_data.clear();
  m_channel.clear();
  m_fingerprint.clear();
  if (!m_socket || (tls() != nullptr) != IsTls(address->scheme)) makeSocket(IsTls(address->scheme));
  // The window keeps running while the connection is made and the line set:
  // its events run in the waits, and a close() from one of them ends the
  // attempt, which then says nothing.
  const quint64 attempt = opening();
  m_connecting = true;
  bool ready = connectTo(*address, attempt) && (!tls() || secure(*address, attempt)) &&
               (m_telnet ? setUpLine(attempt) : true);
  if (ready && !m_telnet) dropBacklog(attempt);
  // A refusal said after the handshake has had its time to come.
  if (ready && tls() && opening() == attempt) ready = stillAccepted();
  m_connecting = false;
  if (opening() != attempt) {
    notOpened(PortFault::None, {});
    return false;
  }
  if (!ready) {
    m_socket->abort();
    return false;
  }
  m_open = true;
  recordOpened();
  return true;
}

// Made at the first connection: most Com numbers never reach a server, and
// a socket made at start-up would cost every start its share of Qt Network.
void TcpPort::makeSocket(bool tls) {
  m_socket = tls ? std::make_unique<QSslSocket>() : std::make_unique<QTcpSocket>();
  m_socket->setReadBufferSize(kReceiveBufferSize);
  connect(m_socket.get(), &QAbstractSocket::disconnected, this, &TcpPort::lineLost);
  connect(m_socket.get(), &QAbstractSocket::errorOccurred, this,
          [this](QAbstractSocket::SocketError error) {
            if (m_open && error != QAbstractSocket::SocketTimeoutError &&
                error != QAbstractSocket::TemporaryError)
              lineLost();
          });
}

bool TcpPort::waitFor(std::chrono::milliseconds most, quint64 attempt,
                      const std::function<bool()>& done) {
  // Closed from here: `done` is not asked of a socket that is gone.
  const auto over = [&] {
    return opening() != attempt || done() || m_socket->state() == QAbstractSocket::UnconnectedState;
  };
  if (over()) return opening() == attempt && done();
  QEventLoop loop;
  QTimer giveUp;
  giveUp.setSingleShot(true);
  giveUp.setTimerType(Qt::PreciseTimer);
  connect(&giveUp, &QTimer::timeout, &loop, &QEventLoop::quit);
  const auto check = [&] {
    if (over()) loop.quit();
  };
  const QMetaObject::Connection arrived =
      connect(m_socket.get(), &QIODevice::readyRead, &loop, check);
  const QMetaObject::Connection changed =
      connect(m_socket.get(), &QAbstractSocket::stateChanged, &loop, check);
  QMetaObject::Connection encrypted;
  if (tls()) encrypted = connect(tls(), &QSslSocket::encrypted, &loop, check);
  giveUp.start(most);
  loop.exec();
  disconnect(arrived);
  disconnect(changed);
  disconnect(encrypted);
  return opening() == attempt && done();
}

bool TcpPort::connectTo(const NetworkAddress& address, quint64 attempt) {
  // In plain text at first, also under TLS: nothing is sent before the
  // server has been heard out.
  const auto start = std::chrono::steady_clock::now();
  m_socket->connectToHost(address.host, address.port);
  if (waitFor(kConnectTime, attempt,
              [this] { return m_socket->state() == QAbstractSocket::ConnectedState; })) {
    m_connectTook = std::chrono::steady_clock::now() - start;
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    return true;
  }
  if (opening() != attempt) return false;
  if (m_socket->state() != QAbstractSocket::UnconnectedState) {
    notOpened(PortFault::NoResponse,
              Text(QT_TRANSLATE_NOOP("timer", "no answer within %1 s"),
                   {QString::number(std::chrono::seconds(kConnectTime).count())}));
  } else {
    notOpened(FaultOfConnecting(m_socket->error()), Text(m_socket->errorString()));
  }
  return false;
}

// A server keeps what the device sent while nobody was connected (a late
// answer to an earlier client) and delivers it at once on connecting: what
// comes before the server has been quiet a moment is dropped.
void TcpPort::dropBacklog(quint64 attempt) {
  const auto start = std::chrono::steady_clock::now();
  do {
    m_socket->readAll();
  } while (std::chrono::steady_clock::now() - start < kBacklogMost &&
           waitFor(kBacklogQuiet, attempt, [this] { return m_socket->bytesAvailable() > 0; }));
}

bool TcpPort::setUpLine(quint64 attempt) {
  Rfc2217SetUp line(m_settings);
  const QByteArray asked = line.requests();
  LogTelnet("tx", asked);
  m_socket->write(asked);
  const auto ended = [&] {
    takeIn();
    m_data.clear();  // sent before the purge
    line.take(*m_telnet);
    return line.ended();
  };
  // The first answer restarts the count, with the time for the settings.
  for (bool heard = false; !ended();) {
    heard = line.heard();
    if (!waitFor(line.patience(), attempt, [&] { return ended() || line.heard() != heard; })) break;
  }
  if (opening() != attempt) return false;  // a port change or Salir closed it
  if (line.confirmed()) return true;
  notOpened(PortFault::SettingRefused,
            line.reason(m_socket->state() != QAbstractSocket::ConnectedState));
  return false;
}

QSslSocket* TcpPort::tls() const {
  return qobject_cast<QSslSocket*>(m_socket.get());
}

// A client hello sent to a plain server reaches the device's line, and the
// timer takes single letters as commands: a server that speaks first (plain
// ser2net sends its Telnet options at once) is refused, and nothing is sent.
bool TcpPort::secure(const NetworkAddress& address, quint64 attempt) {
  const auto roundTrip = std::chrono::duration_cast<std::chrono::milliseconds>(2 * m_connectTook);
  const auto listen = std::clamp(roundTrip, kPlainTextLeast, kPlainTextMost);
  if (waitFor(listen, attempt, [this] { return m_socket->bytesAvailable() > 0; })) {
    failTls(PortFault::TlsPlainText);
    return false;
  }
  if (opening() != attempt) return false;
  if (m_socket->state() != QAbstractSocket::ConnectedState) {
    failTls(PortFault::TlsOther, ServerClosed());
    return false;
  }
  TlsSetUp setUp = TlsSetUpOf(portMap().trust(number()));
  if (setUp.fault != PortFault::None) {
    notOpened(setUp.fault, setUp.reason, setUp.detail);
    return false;
  }
  tls()->setSslConfiguration(setUp.configuration);
  return handshake(address, attempt, setUp.pin);
}

bool TcpPort::handshake(const NetworkAddress& address, quint64 attempt, const QByteArray& pin) {
  QSslSocket& socket = *tls();
  QList<QSslError> errors;
  const QMetaObject::Connection said = connect(
      &socket, &QSslSocket::sslErrors, this, [&errors](const QList<QSslError>& e) { errors = e; });
  socket.setPeerVerifyName(address.host);
  socket.startClientEncryption();
  const bool encrypted = waitFor(kConnectTime, attempt, [&socket] { return socket.isEncrypted(); });
  disconnect(said);
  if (opening() != attempt) return false;
  QString detail;
  // Pinned, the fingerprint decides, whatever authority signed the certificate.
  if (!errors.isEmpty() && pin.isEmpty()) {
    const PortFault fault = TlsFaultOf(errors, &detail);
    failTls(fault, detail);
  } else if (!encrypted && socket.state() == QAbstractSocket::ConnectedState) {
    failTls(PortFault::TlsTimeout, QString::number(std::chrono::seconds(kConnectTime).count()));
  } else if (!encrypted) {
    failTls(PortFault::TlsOther, socket.error() == QAbstractSocket::RemoteHostClosedError
                                     ? ServerClosed()
                                     : Text(socket.errorString()));
  } else if (!pin.isEmpty() && socket.peerCertificate().digest(QCryptographicHash::Sha256) != pin) {
    failTls(PortFault::TlsNotPinned, Fingerprint(socket.peerCertificate()));
  } else {
    const QStringList names = socket.peerCertificate().subjectInfo(QSslCertificate::CommonName);
    m_channel = socket.sessionProtocol() == QSsl::TlsV1_3 ? QStringLiteral("TLS 1.3")
                                                          : QStringLiteral("TLS 1.2");
    if (!names.isEmpty()) m_channel += QStringLiteral(" · CN=") + names.join(QStringLiteral(", "));
    m_fingerprint = Fingerprint(socket.peerCertificate());
    return true;
  }
  return false;
}

bool TcpPort::stillAccepted() {
  if (m_socket->state() == QAbstractSocket::ConnectedState) return true;
  const bool gaveOne = !tls()->sslConfiguration().localCertificate().isNull();
  failTls(gaveOne ? PortFault::TlsCertificateRefused : PortFault::TlsNoClientCertificate);
  return false;
}

void TcpPort::failTls(PortFault fault, const Text& detail) {
  notOpened(fault, TlsReason(fault, detail), detail.english());
}

QString TcpPort::secureChannel() const {
  return m_channel;
}

QString TcpPort::serverFingerprint() const {
  return m_fingerprint;
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
  // Also what the system holds and the socket has not read yet, as a serial
  // line's emptying drops what the driver holds: the socket reads it, so
  // that an encrypted stream is never cut in the middle of a record.
  qint64 dropped = 0;
  do {
    if (m_telnet) {
      // The negotiation in what is dropped counts too: a server that sends
      // nothing else must not keep the emptying going.
      dropped += takeIn();
      m_data.clear();
    } else {
      dropped += m_socket->readAll().size();
    }
  } while (dropped < kMostDropped && m_socket->waitForReadyRead(0));
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

qint64 TcpPort::takeIn() {
  if (!m_socket->isOpen()) return 0;  // the server closed it
  const QByteArray raw = m_socket->readAll();
  LogTelnet("rx", raw);
  m_data += m_telnet->decode(raw);
  const QByteArray replies = m_telnet->takeReplies();
  LogTelnet("tx", replies);
  if (!replies.isEmpty()) m_socket->write(replies);
  return raw.size();
}

void TcpPort::lineLost() {
  if (m_open) lost(PortFault::ConnectionLost);
}
