// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

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
// the caller.
class TcpPort : public MappedPort {
  Q_OBJECT

 public:
  static constexpr std::chrono::seconds kConnectTime{3};
  // After connecting, what the server sends before it has been quiet this
  // long is what it kept from before the connection, and is dropped.
  static constexpr std::chrono::milliseconds kBacklogQuiet{50};
  static constexpr std::chrono::milliseconds kBacklogMost{500};

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

 private:
  void makeSocket();
  bool connectTo(const NetworkAddress& address, quint64 attempt);
  void dropBacklog(quint64 attempt);
  bool setUpLine(quint64 attempt);
  // Runs the window's events until `done` holds, the connection ends, this
  // opening is closed (a port change, Salir) or `most` has passed; says
  // whether `done` held.
  bool waitFor(std::chrono::milliseconds most, quint64 attempt, const std::function<bool()>& done);
  // Takes what the socket holds: the serial data into m_data, the Telnet
  // negotiation answered.
  void takeIn();
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
};
