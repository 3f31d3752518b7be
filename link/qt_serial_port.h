// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QSerialPort>

#include "link/port_map.h"
#include "link/serial_port.h"

// A serial device through QSerialPort; Com numbers reach devices through the
// port map.
class QtSerialPort : public QObject, public SerialPort {
  Q_OBJECT

 public:
  explicit QtSerialPort(PortMap map, QObject* parent = nullptr);
  ~QtSerialPort() override;

  bool setCommPort(qint16 number) override;
  bool setSettings(const QString& settings) override;
  bool open() override;
  void close() override;
  bool isOpen() const override;
  int inBufferCount() override;
  bool clearInBuffer() override;
  bool output(const QByteArray& data) override;
  QByteArray input() override;
  bool failed() const override;
  QString errorText() const override;
  PortFault fault() const override;
  quint64 opening() const override;

  const PortMap& portMap() const { return m_map; }
  void setPortMap(PortMap map) { m_map = std::move(map); }

 private:
  bool openDevice(const QString& path);
  void onError(QSerialPort::SerialPortError error);

  QSerialPort m_port;
  PortMap m_map;
  qint16 m_number = 0;
  LineSettings m_settings;
  bool m_failed = false;
  QString m_error;
  PortFault m_fault = PortFault::None;
  quint64 m_opening = 0;
};
