// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QTcpSocket>

#include <chrono>

#include "link/port_map.h"
#include "link/serial_port.h"

// A serial line behind a serial device server, through a raw TCP port
// ("tcp:HOST:PORT" in the port map). The server sets the line to 2400 8N1 on
// its side, so the line settings are only checked here.
class TcpPort : public QObject, public SerialPort {
  Q_OBJECT

 public:
  static constexpr std::chrono::seconds kConnectTime{3};
  // After connecting, what the server sends before it has been quiet this
  // long is what it kept from before the connection, and is dropped.
  static constexpr std::chrono::milliseconds kBacklogQuiet{50};
  static constexpr std::chrono::milliseconds kBacklogMost{500};

  explicit TcpPort(PortMap map, QObject* parent = nullptr);
  ~TcpPort() override;

  bool setCommPort(qint16 number) override;
  bool setSettings(const QString& settings) override;
  bool open() override;
  void close() override;
  bool isOpen() const override;
  int inBufferCount() override;
  bool clearInBuffer() override;
  bool output(const QByteArray& data) override;
  QByteArray input() override;
  void setPortMap(PortMap map) { m_map = std::move(map); }
  bool failed() const override;
  QString errorText() const override;
  PortFault fault() const override;
  quint64 opening() const override;

 private:
  bool connectTo(const NetworkAddress& address);
  void dropBacklog();
  void lineLost();

  QTcpSocket m_socket;
  PortMap m_map;
  qint16 m_number = 0;
  QString m_path;
  // Connecting counts as open: a port change or Salir meanwhile closes it.
  bool m_connecting = false;
  bool m_open = false;
  bool m_failed = false;
  QString m_error;
  PortFault m_fault = PortFault::None;
  quint64 m_opening = 0;
};
