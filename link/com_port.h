// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include "link/port_map.h"
#include "link/qt_serial_port.h"
#include "link/serial_port.h"
#include "link/tcp_port.h"

// The port `Conexion` as the window knows it: Com N reaches whatever the port
// map says, a serial device or a serial device server on the network, and
// every operation goes to the one the current opening uses.
class ComPort : public SerialPort {
 public:
  explicit ComPort(const PortMap& map);

  bool setCommPort(qint16 number) override;
  bool setSettings(const LineSettings& settings) override;
  bool open() override;
  void close() override { m_active->close(); }
  bool isOpen() const override { return m_active->isOpen(); }
  int inBufferCount() override { return m_active->inBufferCount(); }
  bool clearInBuffer() override { return m_active->clearInBuffer(); }
  bool output(const QByteArray& data) override { return m_active->output(data); }
  QByteArray input() override { return m_active->input(); }
  bool failed() const override { return m_active->failed(); }
  Text errorText() const override { return m_active->errorText(); }
  PortFault fault() const override { return m_active->fault(); }
  QString faultDetail() const override { return m_active->faultDetail(); }
  QString secureChannel() const override { return m_active->secureChannel(); }
  QString serverFingerprint() const override { return m_active->serverFingerprint(); }
  // Both count their openings and closings, so the sum changes with either.
  quint64 opening() const override { return m_serial.opening() + m_network.opening(); }

  const PortMap& portMap() const { return m_map; }
  void setPortMap(const PortMap& map);
  // Without a port map: Com N follows the serial ports present (`ports` lists
  // them, the system by default), asked again at each link and each
  // refresh(), so that an adapter plugged in later is reached.
  void followPorts(std::function<PortMap()> ports = PortMap::FromSystem);
  void refresh();

 private:
  PortMap m_map;
  std::function<PortMap()> m_follow;
  qint16 m_number = 0;
  QtSerialPort m_serial;
  TcpPort m_network;
  SerialPort* m_active = &m_serial;
};
