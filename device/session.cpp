// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/session.h"

#include <QCoreApplication>

#include "device/protocol.h"
#include "device/read_back.h"
#include "device/reply_wait.h"
#include "link/com_port.h"
#include "link/event_loop_clock.h"
#include "link/forwarding_port.h"
#include "link/tracing_port.h"

namespace {

// Keeps what the device sent since the last command or emptying.
class ReplyRecorder : public ForwardingPort {
 public:
  using ForwardingPort::ForwardingPort;
  const QByteArray& received() const { return m_received; }

  bool clearInBuffer() override {
    m_received.clear();
    return ForwardingPort::clearInBuffer();
  }
  bool output(const QByteArray& data) override {
    m_received.clear();
    return ForwardingPort::output(data);
  }
  QByteArray input() override {
    QByteArray bytes = ForwardingPort::input();
    // Only what stands before the first "Y" is ever read; a flood grows nothing.
    if (!m_received.contains(kProbeAnswer[0])) m_received = (m_received + bytes).right(kMostKept);
    return bytes;
  }

 private:
  static constexpr qsizetype kMostKept = 4096;
  QByteArray m_received;
};

// On a line that echoes: drops the echo of each command from what is
// received, so that only the device's answer is read.
class EchoDropper : public ForwardingPort {
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

// Nobody to stop the wait; the thread's own events (the port's) run.
class ThreadHost : public WaitHost {
 public:
  void DoEvents() override { QCoreApplication::processEvents(QEventLoop::AllEvents); }
  bool stopped() const override { return false; }
};

}  // namespace

// From the line up: the port, its trace, the echo dropped, what was received.
struct DeviceSession::Line {
  Line(const PortMap& ports, const Trace& trace, Clock::time_point traceStart, bool echoing)
      : port(ports),
        tracer(trace ? std::make_unique<TracingPort>(port, trace, traceStart) : nullptr),
        dropper(echoing ? std::make_unique<EchoDropper>(traced()) : nullptr),
        recorder(dropper ? *dropper : traced()) {}
  SerialPort& traced() { return tracer ? static_cast<SerialPort&>(*tracer) : port; }

  ComPort port;
  std::unique_ptr<TracingPort> tracer;
  std::unique_ptr<EchoDropper> dropper;
  ReplyRecorder recorder;
  EventLoopClock clock;
  ThreadHost host;
};

DeviceSession::DeviceSession(const PortMap& ports, qint16 number, const Trace& trace,
                             Clock::time_point traceStart, bool echoing)
    : m_line(std::make_unique<Line>(ports, trace, traceStart, echoing)) {
  m_line->port.setCommPort(number);
}

DeviceSession::~DeviceSession() {
  m_line->recorder.close();
}

const QByteArray& DeviceSession::received() const {
  return m_line->recorder.received();
}

Reply DeviceSession::link() {
  SerialPort& port = m_line->recorder;
  if (!port.setSettings(kLineSettings) || !port.open()) return lost(false);
  Reply reply = exchange(QByteArray(kProbe), kProbeAnswer, kProbeReplyStart, true);
  if (!reply.answered() || !received().startsWith(kProbe)) return reply;
  port.close();
  return {Exchange::Echo, PortFault::None, {}};
}

Reply DeviceSession::probe() {
  return exchange(QByteArray(kProbe), kProbeAnswer, kProbeReplyStart, true);
}

Reply DeviceSession::upload(bool bistable, const TimerConfig& config) {
  return exchange(ConfigurationString(bistable, config), kUploadAnswers, kUploadReplyStart, false);
}

Reply DeviceSession::fire() {
  return exchange(QByteArray(kFire), kFireAnswer, kFireReplyStart, false);
}

// The handshake and the probe empty the receive buffer before their command,
// the upload and the activation after it, as the window does.
Reply DeviceSession::exchange(const QByteArray& command, const char* answers,
                              const char* replyStart, bool clearFirst) {
  SerialPort& port = m_line->recorder;
  // An echo must not be emptied away half-received: on such a line every
  // command empties first.
  const bool sent = clearFirst || m_line->dropper ? port.clearInBuffer() && port.output(command)
                                                  : port.output(command) && port.clearInBuffer();
  if (!sent) return lost(true);
  switch (AwaitReply(port, m_line->clock, m_line->host, QByteArray(answers), QByteArray(replyStart))
              .end) {
    case WaitEnd::AnswerSeen:
      return {};
    case WaitEnd::PortFailed:
      return lost(true);
    default:
      port.close();
      return {Exchange::NoAnswer, PortFault::None, {}};
  }
}

// The port's fault and words; a line that failed while open was lost, whatever
// call noticed it.
Reply DeviceSession::lost(bool lineWasOpen) {
  SerialPort& port = m_line->recorder;
  Reply reply{Exchange::PortUnavailable, port.fault(), port.errorText()};
  if (lineWasOpen && reply.fault == PortFault::None) reply.fault = PortFault::Unplugged;
  port.close();
  return reply;
}
