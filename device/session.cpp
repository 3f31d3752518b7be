// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/session.h"

#include <QCoreApplication>

#include "device/event_loop_clock.h"
#include "device/protocol.h"
#include "device/read_back.h"
#include "device/wait.h"
#include "link/com_port.h"
#include "link/forwarding_port.h"
#include "link/tracing_port.h"

namespace {

// Nobody to stop the wait; the thread's own events (the port's) run.
class ThreadHost : public WaitHost {
 public:
  void DoEvents() override { QCoreApplication::processEvents(QEventLoop::AllEvents); }
  bool stopped() const override { return false; }
};

// From the line up: the port, its trace, real time.
class RealLine : public DeviceLine {
 public:
  RealLine(const PortMap& ports, qint16 number, const Trace& trace,
           std::chrono::steady_clock::time_point traceStart)
      : m_port(ports),
        m_tracer(trace ? std::make_unique<TracingPort>(m_port, trace, traceStart) : nullptr) {
    m_port.setCommPort(number);
  }
  SerialPort& port() override { return m_tracer ? static_cast<SerialPort&>(*m_tracer) : m_port; }
  WaitClock& clock() override { return m_clock; }
  WaitHost& host() override { return m_host; }

 private:
  ComPort m_port;
  std::unique_ptr<TracingPort> m_tracer;
  EventLoopClock m_clock;
  ThreadHost m_host;
};

}  // namespace

std::unique_ptr<DeviceLine> MakeDeviceLine(const PortMap& ports, qint16 number, const Trace& trace,
                                           std::chrono::steady_clock::time_point traceStart) {
  return std::make_unique<RealLine>(ports, number, trace, traceStart);
}

// On a line that echoes: drops the echo of each command from what is
// received, so that only the device's answer is read.
class DeviceSession::EchoDropper : public ForwardingPort {
 public:
  using ForwardingPort::ForwardingPort;

  bool clearInBuffer() override {
    m_echo.clear();
    return ForwardingPort::clearInBuffer();
  }
  bool output(const QByteArray& data) override {
    m_echo += data;
    return ForwardingPort::output(data);
  }
  QByteArray input() override {
    QByteArray bytes = ForwardingPort::input();
    qsizetype echoed = 0;
    while (echoed < bytes.size() && echoed < m_echo.size() && bytes[echoed] == m_echo[echoed])
      ++echoed;
    // Anything else than the echo ends it: what follows is the device's.
    m_echo = echoed < bytes.size() ? QByteArray() : m_echo.mid(echoed);
    return bytes.mid(echoed);
  }

 private:
  QByteArray m_echo;
};

DeviceSession::DeviceSession(DeviceLine& line, bool echoing)
    : m_line(line),
      m_dropper(echoing ? std::make_unique<EchoDropper>(line.port()) : nullptr),
      m_port(m_dropper ? *m_dropper : line.port()) {}

DeviceSession::~DeviceSession() {
  m_port.close();
}

Reply DeviceSession::link() {
  if (!m_port.setSettings(kLineSettings) || !m_port.open()) return Unavailable(m_port, false);
  AwaitQuiet(m_port, m_line.clock(), m_line.host(), kLineQuiet, kMostBeforeProbe);
  Reply reply = exchange(QByteArray(kProbe), kProbeAnswer, true);
  if (!reply.answered() || !reply.bytes.startsWith(kProbe)) return reply;
  AwaitQuiet(m_port, m_line.clock(), m_line.host(), kLineQuiet, kMostAfterEcho);
  m_port.close();
  reply.end = End::Echo;
  return reply;
}

Reply DeviceSession::probe() {
  return exchange(QByteArray(kProbe), kProbeAnswer, true);
}

Reply DeviceSession::upload(bool bistable, const TimerConfig& config) {
  return exchange(ConfigurationString(bistable, config), kUploadAnswers, false);
}

Reply DeviceSession::fire() {
  return exchange(QByteArray(kFire), kFireAnswer, false);
}

// The handshake and the probe empty the receive buffer before their command,
// the upload and the activation after it, as the window does. The reply text
// starts empty: the device's first byte is the reply's first.
Reply DeviceSession::exchange(const QByteArray& command, const char* answers, bool clearFirst) {
  // An echo must not be emptied away half-received: on such a line every
  // command empties first.
  const bool sent = clearFirst || m_dropper ? m_port.clearInBuffer() && m_port.output(command)
                                            : m_port.output(command) && m_port.clearInBuffer();
  Reply reply = sent ? AwaitReply(m_port, m_line.clock(), m_line.host(), QByteArray(answers), {},
                                  kMostPerExchange)
                     : Unavailable(m_port, true);
  if (!reply.answered()) m_port.close();
  return reply;
}
