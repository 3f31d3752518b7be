// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>
#include <functional>

#include "link/serial_port.h"

// Stands where the port stands and writes one line per write and per read
// that brought bytes, for a technician:
//      0.4 tx "Y" 59
//     87.9 rx "0000000000000000001Y" 30 30 30 30 30 30 30 30 30 30 30 30 30 30 30 30 30 30 31 59
// milliseconds since `start`, the direction, the bytes in printable form
// (others as \xNN) and in hex. Every call goes on to the port it wraps.
class TracingPort : public SerialPort {
 public:
  using Clock = std::chrono::steady_clock;
  using Sink = std::function<void(const QString& line)>;

  TracingPort(SerialPort& port, Sink sink, Clock::time_point start = Clock::now());

  bool setCommPort(qint16 number) override { return m_port.setCommPort(number); }
  bool setSettings(const QString& settings) override { return m_port.setSettings(settings); }
  bool open() override { return m_port.open(); }
  void close() override { m_port.close(); }
  bool isOpen() const override { return m_port.isOpen(); }
  int inBufferCount() override { return m_port.inBufferCount(); }
  bool clearInBuffer() override { return m_port.clearInBuffer(); }
  bool output(const QByteArray& data) override;
  QByteArray input() override;
  bool failed() const override { return m_port.failed(); }
  QString errorText() const override { return m_port.errorText(); }
  PortFault fault() const override { return m_port.fault(); }
  quint64 opening() const override { return m_port.opening(); }

 private:
  void trace(const char* direction, const QByteArray& bytes);

  SerialPort& m_port;
  Sink m_sink;
  Clock::time_point m_start;
};

// One trace line, as TracingPort writes it.
QString TraceLine(std::chrono::microseconds since, const char* direction, const QByteArray& bytes);
