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
  m_holder.clear();
}

void MappedPort::notOpened(PortFault fault, const Text& error, const QString& holder) {
  m_failed = false;
  m_error = error;
  m_fault = fault;
  m_holder = holder;
  if (fault == PortFault::None) return;
  qCWarning(lcLine, "%s",
            qUtf8Printable(Text(QT_TRANSLATE_NOOP("timer", "cannot open %1: %2"),
                                {m_map.describe(m_number), error})
                               .translated()));
}

void MappedPort::lost(PortFault fault, const Text& error) {
  if (m_failed) return;
  m_failed = true;
  m_error = error;
  m_fault = fault;
  qCWarning(lcLine, "%s: %s", qUtf8Printable(m_map.describe(m_number)),
            qUtf8Printable(error.translated()));
  // Reported once the transport has finished handling its error: whoever is
  // told may close the port.
  const quint64 opening = m_opening;
  QTimer::singleShot(0, this, [this, opening] {
    if (isOpen() && m_opening == opening) reportFailure();
  });
}
