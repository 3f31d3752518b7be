// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <chrono>
#include <functional>
#include <memory>

#include "device/reply.h"
#include "device/timer_config.h"

class PortMap;
class SerialPort;
class WaitClock;
class WaitHost;

// What a session talks through: the port, the time its waits count, and
// whoever lets events run meanwhile.
class DeviceLine {
 public:
  virtual ~DeviceLine() = default;
  virtual SerialPort& port() = 0;
  virtual WaitClock& clock() = 0;
  virtual WaitHost& host() = 0;
};

// One line per write and per read that brought bytes; empty: no trace.
using Trace = std::function<void(const QString& line)>;

// Com `number` of `ports` as a program without a window reaches it: the
// serial device or device server, every byte traced, real time in the
// calling thread's event loop, whose events the waits let run.
std::unique_ptr<DeviceLine> MakeDeviceLine(
    const PortMap& ports, qint16 number, const Trace& trace = {},
    std::chrono::steady_clock::time_point traceStart = std::chrono::steady_clock::now());

// Before its first probe a session lets the line go quiet: a run that ended
// early (an echo seen, Ctrl-C) may have left the device in the middle of an
// answer, whose end would be taken for the new probe's. Quiet is 50 ms
// without a byte: twelve characters' time at 2400 baud, and three times the
// 16 ms a USB adapter may hold bytes before it passes them on, so a gap
// inside an answer is never taken for its end. A line that never goes quiet
// holds the probe back no longer than kMostBeforeProbe.
inline constexpr std::chrono::milliseconds kLineQuiet{50};
inline constexpr std::chrono::milliseconds kMostBeforeProbe{250};
// A link that ends on an echo waits this long at most for the device's answer
// behind it to end, so that the next run starts on a quiet line.
inline constexpr std::chrono::milliseconds kMostAfterEcho{1000};
// However much a line sends, an exchange ends after this long: the 2 s of
// silence count only the polls that find nothing, so a line that never
// pauses would hold a script, and a fleet, for good.
inline constexpr std::chrono::milliseconds kMostPerExchange{5000};

// One device, for a program without a window: the link's handshake, the
// probe, an upload and an activation, each with the commands, answers and
// wait the window uses, on a line that stays open until the session ends. A
// failed line or a silent device closes the port. Each call's reply holds
// what the device sent, from its first byte after the command.
class DeviceSession {
 public:
  // `echoing`: the line returns every byte sent before the device's answer
  // (an RS-485 converter with echo), and the session drops it.
  explicit DeviceSession(DeviceLine& line, bool echoing = false);
  ~DeviceSession();
  DeviceSession(const DeviceSession&) = delete;
  DeviceSession& operator=(const DeviceSession&) = delete;

  // Opens the port at the device's line settings, lets the line go quiet and
  // probes; a probe that comes back as it was sent is an echo, not a device.
  Reply link();
  // Probes again on the open line, from an empty receive buffer.
  Reply probe();
  // Sends `config` (every time and the power-up state present).
  Reply upload(bool bistable, const TimerConfig& config);
  Reply fire();

 private:
  class EchoDropper;
  Reply exchange(const QByteArray& command, const char* answers, bool clearFirst);

  DeviceLine& m_line;
  std::unique_ptr<EchoDropper> m_dropper;
  SerialPort& m_port;
};
