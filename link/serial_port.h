// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QSerialPort>
#include <QString>

#include <functional>

#include "base/text.h"
#include "link/port_fault.h"

// How a serial line is set.
struct LineSettings {
  qint32 baud = 0;
  QSerialPort::Parity parity = QSerialPort::NoParity;
  QSerialPort::DataBits dataBits = QSerialPort::Data8;
  QSerialPort::StopBits stopBits = QSerialPort::OneStop;
};

// The port's receive buffer, in bytes.
inline constexpr int kReceiveBufferSize = 1024;

// The serial port as the handlers and the device session use it. Operations that can fail say so in
// their result. None of them blocks the window: an opening that takes time (a
// network connection) lets the window's events run, and a close() from one of
// them ends it.
class SerialPort {
 public:
  virtual ~SerialPort() = default;

  virtual bool setCommPort(qint16 number) = 0;
  virtual bool setSettings(const LineSettings& settings) = 0;
  virtual bool open() = 0;
  virtual void close() = 0;
  virtual bool isOpen() const = 0;
  virtual int inBufferCount() = 0;
  virtual bool clearInBuffer() = 0;
  // Queues the bytes for sending and returns at once.
  virtual bool output(const QByteArray& data) = 0;
  // Takes every byte received so far.
  virtual QByteArray input() = 0;

  // True once the line has failed while open (adapter unplugged, device gone):
  // the port stays nominally open but nothing more will come through it.
  virtual bool failed() const = 0;
  // Why the last opening failed, or why the line failed, in the system's
  // words ("Permission denied") for stderr...
  virtual Text errorText() const = 0;
  // ...and in the operator's terms.
  virtual PortFault fault() const = 0;
  // Who stands in the way, for the operator's words: with PortFault::Busy,
  // which program holds the port ("minicom (pid 4242)"); with
  // PermissionDenied, the group that owns the device ("dialout"); empty
  // when nothing says.
  virtual QString faultDetail() const { return {}; }
  // Over a device server behind TLS, once open: how the link is protected and
  // by whose certificate ("TLS 1.3 · CN=ser2net-hall3"), and that
  // certificate's SHA-256 fingerprint ("sha256:AB:CD:..."); empty otherwise.
  virtual QString secureChannel() const { return {}; }
  virtual QString serverFingerprint() const { return {}; }
  // Changes with every opening and every closing, so that a wait can tell
  // that the port it started on was closed under it, even if it has been
  // opened again since.
  virtual quint64 opening() const = 0;

  // Runs once when the line fails while the port is open, from the event
  // loop, never from inside a call on the port.
  void setFailureHandler(std::function<void()> handler) { m_onFailure = std::move(handler); }

 protected:
  void reportFailure() const {
    if (m_onFailure) m_onFailure();
  }

 private:
  std::function<void()> m_onFailure;
};
