// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTcpSocket>

#include <chrono>

#include "link/mapped_port.h"
#include "link/port_map.h"

// A serial line behind a serial device server, through a raw TCP port
// ("tcp:HOST:PORT" in the port map). The server sets the line to 2400 8N1 on
// its side, so the line settings are only checked here.
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
  bool connectTo(const NetworkAddress& address);
  void dropBacklog();
  void lineLost();

  QTcpSocket m_socket;
  // Connecting counts as open: a port change or Salir meanwhile closes it.
  bool m_connecting = false;
  bool m_open = false;
};
