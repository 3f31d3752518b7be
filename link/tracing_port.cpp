// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/tracing_port.h"

TracingPort::TracingPort(SerialPort& port, Sink sink, Clock::time_point start)
    : ForwardingPort(port), m_sink(std::move(sink)), m_start(start) {}

bool TracingPort::output(const QByteArray& data) {
  const bool sent = ForwardingPort::output(data);
  if (sent) trace("tx", data);
  return sent;
}

QByteArray TracingPort::input() {
  QByteArray received = ForwardingPort::input();
  if (!received.isEmpty()) trace("rx", received);
  return received;
}

void TracingPort::trace(const char* direction, const QByteArray& bytes) {
  m_sink(TraceLine(std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - m_start),
                   direction, bytes));
}

QString TraceLine(std::chrono::microseconds since, const char* direction, const QByteArray& bytes) {
  QString printable;
  QString hex;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7f && c != '"' && c != '\\') {
      printable += QLatin1Char(c);
    } else {
      printable += QStringLiteral("\\x%1").arg(byte, 2, 16, QLatin1Char('0'));
    }
    hex += QStringLiteral(" %1").arg(byte, 2, 16, QLatin1Char('0'));
  }
  return QStringLiteral("%1 %2 \"%3\"%4")
      .arg(static_cast<double>(since.count()) / 1000.0, 9, 'f', 1)
      .arg(QLatin1String(direction), printable, hex);
}
