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

// Nobody to stop the wait; the thread's own events (the port's) run.
class ThreadHost : public WaitHost {
 public:
  void DoEvents() override { QCoreApplication::processEvents(QEventLoop::AllEvents); }
  bool stopped() const override { return false; }
};

}  // namespace

struct DeviceSession::Line {
  Line(const PortMap& ports, const Trace& trace, Clock::time_point traceStart)
      : port(ports),
        tracer(trace ? std::make_unique<TracingPort>(port, trace, traceStart) : nullptr),
        recorder(tracer ? static_cast<SerialPort&>(*tracer) : port) {}

  ComPort port;
  std::unique_ptr<TracingPort> tracer;
  ReplyRecorder recorder;
  EventLoopClock clock;
  ThreadHost host;
};

DeviceSession::DeviceSession(const PortMap& ports, qint16 number, const Trace& trace,
                             Clock::time_point traceStart)
    : m_line(std::make_unique<Line>(ports, trace, traceStart)) {
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
  return exchange(QByteArray(kProbe), kProbeAnswer, kProbeReplyStart, true);
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
  const bool sent = clearFirst ? port.clearInBuffer() && port.output(command)
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
