// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/tcp_port.h"

#include <QEventLoop>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#endif

namespace {

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

}  // namespace

TcpPort::TcpPort(PortMap map, QObject* parent) : MappedPort(std::move(map), parent) {
  m_socket.setReadBufferSize(kReceiveBufferSize);
  connect(&m_socket, &QAbstractSocket::disconnected, this, &TcpPort::lineLost);
  connect(&m_socket, &QAbstractSocket::errorOccurred, this,
          [this](QAbstractSocket::SocketError error) {
            if (m_open && error != QAbstractSocket::SocketTimeoutError &&
                error != QAbstractSocket::TemporaryError)
              lineLost();
          });
}

TcpPort::~TcpPort() {
  close();
}

// A device server in raw mode sets the serial line itself.
bool TcpPort::setSettings(const LineSettings& /*settings*/) {
  return true;
}

bool TcpPort::open() {
  if (isOpen()) return false;
  const std::optional<NetworkAddress> address = ParseNetworkPath(path());
  if (!address) {
    notOpened(PortFault::NoDevice, QStringLiteral("no network address stands behind this number"));
    return false;
  }
  if (!connectTo(*address)) return false;
  m_open = true;
  recordOpened();
  return true;
}

bool TcpPort::connectTo(const NetworkAddress& address) {
  // The window keeps running while the connection is made: its events run in
  // this loop, and a close() from one of them ends the attempt.
  QEventLoop loop;
  QTimer giveUp;
  giveUp.setSingleShot(true);
  giveUp.setTimerType(Qt::PreciseTimer);
  connect(&giveUp, &QTimer::timeout, &loop, &QEventLoop::quit);
  const QMetaObject::Connection connected =
      connect(&m_socket, &QAbstractSocket::connected, &loop, &QEventLoop::quit);
  const QMetaObject::Connection ended = connect(&m_socket, &QAbstractSocket::stateChanged, &loop,
                                                [&loop](QAbstractSocket::SocketState s) {
                                                  if (s == QAbstractSocket::UnconnectedState)
                                                    loop.quit();
                                                });
  const quint64 attempt = opening();
  m_connecting = true;
  m_socket.connectToHost(address.host, address.port);
  giveUp.start(kConnectTime);
  if (m_socket.state() != QAbstractSocket::ConnectedState &&
      m_socket.state() != QAbstractSocket::UnconnectedState) {
    loop.exec();
  }
  disconnect(connected);
  disconnect(ended);
  if (opening() == attempt && m_socket.state() == QAbstractSocket::ConnectedState) {
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    dropBacklog();
  }
  m_connecting = false;

  if (opening() != attempt) {
    notOpened(PortFault::None, {});
    return false;
  }
  if (m_socket.state() == QAbstractSocket::ConnectedState) return true;
  if (m_socket.state() != QAbstractSocket::UnconnectedState) {
    notOpened(
        PortFault::NoResponse,
        QStringLiteral("no answer within %1 s").arg(std::chrono::seconds(kConnectTime).count()));
  } else {
    notOpened(FaultOfConnecting(m_socket.error()), m_socket.errorString());
  }
  m_socket.abort();
  return false;
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
      connect(&m_socket, &QIODevice::readyRead, &loop, [this, &quiet] {
        m_socket.readAll();
        quiet.start(kBacklogQuiet);
      });
  const QMetaObject::Connection ended = connect(&m_socket, &QAbstractSocket::stateChanged, &loop,
                                                [&loop](QAbstractSocket::SocketState s) {
                                                  if (s == QAbstractSocket::UnconnectedState)
                                                    loop.quit();
                                                });
  m_socket.readAll();
  quiet.start(kBacklogQuiet);
  most.start(kBacklogMost);
  loop.exec();
  disconnect(arrived);
  disconnect(ended);
}

void TcpPort::close() {
  if (!isOpen()) return;
  m_open = false;
  m_connecting = false;
  m_socket.abort();
  recordClosed();
}

bool TcpPort::isOpen() const {
  return m_open || m_connecting;
}

int TcpPort::inBufferCount() {
  if (!m_open) return 0;
  return static_cast<int>(m_socket.bytesAvailable());
}

bool TcpPort::clearInBuffer() {
  if (!m_open) return false;
  m_socket.readAll();
#ifdef Q_OS_UNIX
  // Also what the system holds and Qt has not read yet, as a serial line's
  // emptying drops what the driver holds.
  char scrap[4096];
  qint64 dropped = 0;
  ssize_t n = 0;
  while (dropped < kMostDropped && (n = ::recv(static_cast<int>(m_socket.socketDescriptor()), scrap,
                                               sizeof scrap, MSG_DONTWAIT)) > 0) {
    dropped += n;
  }
#endif
  return true;
}

bool TcpPort::output(const QByteArray& data) {
  if (!m_open || failed()) return false;
  return m_socket.write(data) == data.size();
}

QByteArray TcpPort::input() {
  if (!m_open) return {};
  return m_socket.readAll();
}

void TcpPort::lineLost() {
  if (m_open) lost(PortFault::ConnectionLost, m_socket.errorString());
}
