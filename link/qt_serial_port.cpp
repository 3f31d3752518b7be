// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/qt_serial_port.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <unistd.h>

#include "link/port_holder.h"

namespace {

// Qt reports a port held by another program and one the user may not open
// alike; the file system tells them apart.
PortFault FaultOfOpening(const QString& path, QSerialPort::SerialPortError error) {
  if (::access(QFile::encodeName(path).constData(), F_OK) != 0) return PortFault::Missing;
  if (::access(QFile::encodeName(path).constData(), R_OK | W_OK) != 0 && errno == EACCES)
    return PortFault::PermissionDenied;
  switch (error) {
    case QSerialPort::DeviceNotFoundError:
      return PortFault::Missing;
    case QSerialPort::PermissionError:
      return PortFault::Busy;
    default:
      return PortFault::Other;
  }
}

}  // namespace

QtSerialPort::QtSerialPort(PortMap map, QObject* parent) : MappedPort(std::move(map), parent) {
  connect(&m_port, &QSerialPort::errorOccurred, this, &QtSerialPort::onError);
  // A device that floods the line while nobody waits must not grow memory:
  // Qt stops reading once this much is held, and the line holds the rest.
  m_port.setReadBufferSize(kReceiveBufferSize);
}

QtSerialPort::~QtSerialPort() {
  close();
}

bool QtSerialPort::setSettings(const LineSettings& settings) {
  m_settings = settings;
  return true;
}

bool QtSerialPort::open() {
  if (m_port.isOpen()) return false;
  const QString device = path();
  if (device.isEmpty()) {
    notOpened(PortFault::NoDevice,
              Text(QT_TRANSLATE_NOOP("timer", "no device stands behind this number")));
    return false;
  }
  // The system would take the path cut at the NUL: another device.
  if (device.contains(QChar::Null)) {
    notOpened(PortFault::NoDevice,
              Text(QT_TRANSLATE_NOOP("timer", "the device path holds a NUL character")));
    return false;
  }
  return openDevice(device);
}

bool QtSerialPort::openDevice(const QString& device) {
  // Locked as the device itself, so that two programs naming it through
  // different links exclude each other.
  const QString canonical = QFileInfo(device).canonicalFilePath();
  m_port.setPortName(canonical.isEmpty() ? device : canonical);
  if (m_port.open(QIODevice::ReadWrite) && m_port.setBaudRate(m_settings.baud) &&
      m_port.setParity(m_settings.parity) && m_port.setDataBits(m_settings.dataBits) &&
      m_port.setStopBits(m_settings.stopBits) &&
      m_port.setFlowControl(QSerialPort::NoFlowControl)) {
    // The device was built for a host that left DTR and RTS low; Linux raises
    // both at every opening. A line without modem lines (a pseudo-terminal)
    // refuses this, which is no failure of the port.
    m_port.setDataTerminalReady(false);
    m_port.setRequestToSend(false);
    m_port.clearError();
    recordOpened();
    return true;
  }
  const PortFault fault = FaultOfOpening(device, m_port.error());
  // Qt says "Permission denied" of a port another program has locked.
  const QString holder = fault == PortFault::Busy ? PortHolder(device) : QString();
  const QString group = fault == PortFault::PermissionDenied ? NodeGroup(device) : QString();
  if (!holder.isEmpty()) {
    notOpened(fault, Text(QT_TRANSLATE_NOOP("timer", "in use by %1"), {holder}), holder);
  } else if (!group.isEmpty()) {
    notOpened(
        fault,
        Text(QT_TRANSLATE_NOOP("timer", "permission denied: the user must be in the group %1"),
             {group}),
        group);
  } else {
    notOpened(fault, Text(m_port.errorString()));
  }
  m_port.close();
  return false;
}

void QtSerialPort::close() {
  if (!m_port.isOpen()) return;
  m_port.close();
  recordClosed();
}

bool QtSerialPort::isOpen() const {
  return m_port.isOpen();
}

int QtSerialPort::inBufferCount() {
  if (!m_port.isOpen()) return 0;
  return static_cast<int>(m_port.bytesAvailable());
}

bool QtSerialPort::clearInBuffer() {
  if (!m_port.isOpen()) return false;
  // Also drops what the system kept from before the opening, which Qt does not.
  const bool cleared = m_port.clear(QSerialPort::Input);
  // Qt stops reading when its buffer is full and starts again only on a read.
  m_port.readAll();
  return cleared;
}

bool QtSerialPort::output(const QByteArray& data) {
  if (!m_port.isOpen() || failed()) return false;
  // Queued, not flushed: the bytes leave at the next event-loop pass, so a
  // receive buffer emptied right after the send (as the commands do) cannot
  // swallow the answer of a device faster than the 2400-baud wire.
  return m_port.write(data) == data.size();
}

QByteArray QtSerialPort::input() {
  if (!m_port.isOpen()) return {};
  return m_port.readAll();
}

void QtSerialPort::onError(QSerialPort::SerialPortError error) {
  if (!m_port.isOpen()) return;
  switch (error) {
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
      // Qt keeps the port open after these; nothing more will pass through it.
      lost(PortFault::Unplugged);
      break;
    default:
      break;
  }
}
