// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/mapped_port.h"

#include <QTimer>

#include "link/line_log.h"

Q_LOGGING_CATEGORY(lcLine, "timer.line")

MappedPort::MappedPort(PortMap map, QObject* parent) : QObject(parent), m_map(std::move(map)) {}

bool MappedPort::setCommPort(qint16 number) {
  if (isOpen()) return false;
  m_number = number;
  return true;
}

void MappedPort::recordOpened() {
  ++m_opening;
  m_failed = false;
  m_error = {};
  m_fault = PortFault::None;
  m_detail.clear();
}

void MappedPort::notOpened(PortFault fault, const Text& error, const QString& detail) {
  m_failed = false;
  m_error = error;
  m_fault = fault;
  m_detail = detail;
  if (fault == PortFault::None) return;
  qCWarning(lcLine, "%s",
            qUtf8Printable(Text(QT_TRANSLATE_NOOP("timer", "cannot open %1: %2"),
                                {m_map.describe(m_number), error})
                               .translated()));
}

// The system's words for a lost line come from whatever call noticed it
// ("Inappropriate ioctl for device"), which says nothing of what happened.
void MappedPort::lost(PortFault fault) {
  if (m_failed) return;
  m_failed = true;
  m_error = fault == PortFault::ConnectionLost
                ? Text(QT_TRANSLATE_NOOP(
                      "timer", "the line was lost: the device server closed the connection"))
                : Text(QT_TRANSLATE_NOOP(
                      "timer", "the line was lost: the adapter went away or the device hung up"));
  m_fault = fault;
  qCWarning(lcLine, "%s: %s", qUtf8Printable(m_map.describe(m_number)),
            qUtf8Printable(m_error.translated()));
  // Reported once the transport has finished handling its error: whoever is
  // told may close the port.
  const quint64 opening = m_opening;
  QTimer::singleShot(0, this, [this, opening] {
    if (isOpen() && m_opening == opening) reportFailure();
  });
}
