// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSerialPort>

#include "link/mapped_port.h"

// A serial device through QSerialPort; Com numbers reach devices through the
// port map.
class QtSerialPort : public MappedPort {
  Q_OBJECT

 public:
  explicit QtSerialPort(PortMap map, QObject* parent = nullptr);
  ~QtSerialPort() override;

  bool setSettings(const LineSettings& settings) override;
  bool open() override;
  void close() override;
  bool isOpen() const override;
  int inBufferCount() override;
  bool clearInBuffer() override;
  bool output(const QByteArray& data) override;
  QByteArray input() override;

 private:
  bool openDevice(const QString& device);
  void onError(QSerialPort::SerialPortError error);

  QSerialPort m_port;
  LineSettings m_settings;
};
