// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>
#include <functional>

#include "link/forwarding_port.h"

// Stands where the port stands and writes one line per write and per read
// that brought bytes, for a technician:
//      0.4 tx "Y" 59
//     87.9 rx "0000000000000000001Y" 30 30 30 30 30 30 30 30 30 30 30 30 30 30 30 30 30 30 31 59
// milliseconds since `start`, the direction, the bytes in printable form
// (others as \xNN) and in hex. Every call goes on to the port it wraps.
class TracingPort : public ForwardingPort {
 public:
  using Clock = std::chrono::steady_clock;
  using Sink = std::function<void(const QString& line)>;

  TracingPort(SerialPort& port, Sink sink, Clock::time_point start = Clock::now());

  bool output(const QByteArray& data) override;
  QByteArray input() override;

 private:
  void trace(const char* direction, const QByteArray& bytes);

  Sink m_sink;
  Clock::time_point m_start;
};

// One trace line, as TracingPort writes it.
QString TraceLine(std::chrono::microseconds since, const char* direction, const QByteArray& bytes);
