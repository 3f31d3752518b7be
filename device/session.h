// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>

#include "device/timer_config.h"
#include "link/port_fault.h"
#include "link/text.h"

class PortMap;

// How one exchange with the device ended.
enum class Exchange {
  Answered,
  NoAnswer,         // the device stayed silent
  PortUnavailable,  // the port could not be opened, or the line failed
  Echo,             // the line returned the probe itself: it echoes what is sent
};

struct Reply {
  Exchange end = Exchange::Answered;
  // With PortUnavailable: why, in the operator's terms and in the system's words.
  PortFault fault = PortFault::None;
  Text reason;
  bool answered() const { return end == Exchange::Answered; }
};

// One device on Com `number`, for a program without a window: the link's
// handshake, the probe, an upload and an activation, each with the commands,
// answers and wait the window uses, on a line that stays open until the
// session ends. A failed line or a silent device closes the port. Lives and
// dies on one thread, whose events the wait lets run.
class DeviceSession {
 public:
  using Clock = std::chrono::steady_clock;
  // One line per write and per read that brought bytes; empty: no trace.
  using Trace = std::function<void(const QString& line)>;

  // `echoing`: the line returns every byte sent before the device's answer
  // (an RS-485 converter with echo), and the session drops it.
  DeviceSession(const PortMap& ports, qint16 number, const Trace& trace = {},
                Clock::time_point traceStart = Clock::now(), bool echoing = false);
  ~DeviceSession();
  DeviceSession(const DeviceSession&) = delete;
  DeviceSession& operator=(const DeviceSession&) = delete;

  // Opens the port at the device's line settings and probes; a probe that
  // comes back as it was sent is an echo, not a device.
  Reply link();
  // Probes again on the open line, from an empty receive buffer.
  Reply probe();
  // Sends `config` (every time and the power-up state present).
  Reply upload(bool bistable, const TimerConfig& config);
  Reply fire();

  // What the device sent since the last command, as far as its first "Y"
  // (the read-back is taken from it, see ReadBackIn).
  const QByteArray& received() const;

 private:
  struct Line;
  Reply exchange(const QByteArray& command, const char* answers, const char* replyStart,
                 bool clearFirst);
  Reply lost(bool lineWasOpen);

  std::unique_ptr<Line> m_line;
};
