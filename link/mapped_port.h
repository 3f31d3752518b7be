// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include "link/port_map.h"
#include "link/serial_port.h"

// What a serial device and a device server share: Com numbers reach them
// through the port map, and what went wrong is kept for the caller and said on
// stderr. A line that fails while open is reported once, from the event loop.
class MappedPort : public QObject, public SerialPort {
  Q_OBJECT

 public:
  explicit MappedPort(PortMap map, QObject* parent = nullptr);

  bool setCommPort(qint16 number) override;
  bool failed() const override { return m_failed; }
  Text errorText() const override { return m_error; }
  PortFault fault() const override { return m_fault; }
  QString faultDetail() const override { return m_detail; }
  quint64 opening() const override { return m_opening; }

  void setPortMap(PortMap map) { m_map = std::move(map); }

 protected:
  QString path() const { return m_map.path(m_number); }
  const PortMap& portMap() const { return m_map; }
  qint16 number() const { return m_number; }
  void recordOpened();
  void recordClosed() { ++m_opening; }
  // PortFault::None: a close ended the attempt, and whoever closed the port
  // has said what it had to.
  void notOpened(PortFault fault, const Text& error, const QString& detail = {});
  // Once per opening: nothing more will pass through the line.
  void lost(PortFault fault);

 private:
  PortMap m_map;
  qint16 m_number = 0;
  bool m_failed = false;
  Text m_error;
  PortFault m_fault = PortFault::None;
  QString m_detail;
  quint64 m_opening = 0;
};
