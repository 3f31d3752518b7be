// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/serial_port.h"

// Stands where a port stands and passes every call on to it; a subclass
// overrides the calls it watches.
class ForwardingPort : public SerialPort {
 public:
  explicit ForwardingPort(SerialPort& port) : m_port(port) {
    m_port.setFailureHandler([this] { reportFailure(); });
  }

  bool setCommPort(qint16 number) override { return m_port.setCommPort(number); }
  bool setSettings(const LineSettings& settings) override { return m_port.setSettings(settings); }
  bool open() override { return m_port.open(); }
  void close() override { m_port.close(); }
  bool isOpen() const override { return m_port.isOpen(); }
  int inBufferCount() override { return m_port.inBufferCount(); }
  bool clearInBuffer() override { return m_port.clearInBuffer(); }
  bool output(const QByteArray& data) override { return m_port.output(data); }
  QByteArray input() override { return m_port.input(); }
  bool failed() const override { return m_port.failed(); }
  Text errorText() const override { return m_port.errorText(); }
  PortFault fault() const override { return m_port.fault(); }
  QString faultDetail() const override { return m_port.faultDetail(); }
  QString secureChannel() const override { return m_port.secureChannel(); }
  QString serverFingerprint() const override { return m_port.serverFingerprint(); }
  quint64 opening() const override { return m_port.opening(); }

 private:
  SerialPort& m_port;
};
