// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSslSocket>
#include <QTcpSocket>

#include <chrono>
#include <functional>
#include <memory>

#include "link/mapped_port.h"
#include "link/port_map.h"
#include "link/telnet.h"

// A serial line behind a serial device server: through a raw TCP port
// ("tcp:HOST:PORT" in the port map), where the server sets the line on its
// side, or in RFC 2217 mode ("rfc2217://HOST:PORT"), where this port sets it
// after connecting (link/rfc2217) and the Telnet negotiation never reaches
// the caller; either inside TLS ("tls:HOST:PORT", "rfc2217+tls://HOST:PORT"),
// trusted as the port map says (link/tls), never falling back to plain text.
class TcpPort : public MappedPort {
  Q_OBJECT

 public:
  static constexpr std::chrono::seconds kConnectTime{3};
  // After connecting, what the server sends before it has been quiet this
  // long is what it kept from before the connection, and is dropped.
  static constexpr std::chrono::milliseconds kBacklogQuiet{50};
  static constexpr std::chrono::milliseconds kBacklogMost{500};
  // Before a TLS handshake, how long a server that speaks first (a plain one)
  // is listened for: twice the connect's round trip, within these bounds. A
  // TLS server waits for the client's hello.
  static constexpr std::chrono::milliseconds kPlainTextLeast{20};
  static constexpr std::chrono::milliseconds kPlainTextMost{1000};

  explicit TcpPort(PortMap map, QObject* parent = nullptr);
  ~TcpPort() override;

  bool setSettings(const LineSettings& settings) override;
  bool open() override;
  void close() override;
  bool isOpen() const override;
  int inBufferCount() override;
  bool clearInBuffer() override;
  bool output(const QByteArray& data) override;
  QByteArray input() override;
  QString secureChannel() const override;
  QString serverFingerprint() const override;

 private:
  void makeSocket(bool tls);
  bool connectTo(const NetworkAddress& address, quint64 attempt);
  // Listens for a plain server, then makes the TLS handshake and checks the
  // certificate against the trust; false, having said why, when it fails.
  bool secure(const NetworkAddress& address, quint64 attempt);
  bool handshake(const NetworkAddress& address, quint64 attempt, const QByteArray& pin);
  // Whether a server that accepted the handshake is still there: under TLS
  // 1.3 a refused client certificate is said just after it.
  bool stillAccepted();
  void failTls(PortFault fault, const Text& detail = {});
  QSslSocket* tls() const;
  void dropBacklog(quint64 attempt);
  bool setUpLine(quint64 attempt);
  // Runs the window's events until `done` holds, the connection ends, this
  // opening is closed (a port change, Salir) or `most` has passed; says
  // whether `done` held.
  bool waitFor(std::chrono::milliseconds most, quint64 attempt, const std::function<bool()>& done);
  // Takes what the socket holds: the serial data into m_data, the Telnet
  // negotiation answered. Returns how many bytes it read.
  qint64 takeIn();
  void lineLost();

  // Exists from the first opening on; used only while open.
  std::unique_ptr<QTcpSocket> m_socket;
  LineSettings m_settings;
  // In RFC 2217 mode only; the serial data it decoded, not yet taken.
  std::unique_ptr<TelnetCodec> m_telnet;
  QByteArray m_data;
  // Connecting counts as open: a port change or Salir meanwhile closes it.
  bool m_connecting = false;
  bool m_open = false;
  std::chrono::steady_clock::duration m_connectTook{};
  // Of the last opening's server, kept after it closes.
  QString m_channel, m_fingerprint;
};
