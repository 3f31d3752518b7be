// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/programmer.h"

#include <QThread>

#include <condition_variable>
#include <memory>
#include <mutex>

#include "cli/headless_view.h"
#include "handlers/activation.h"
#include "handlers/connect.h"
#include "handlers/field_check.h"
#include "handlers/form.h"
#include "handlers/port_selection.h"
#include "handlers/reply_wait.h"
#include "handlers/upload.h"
#include "link/com_port.h"
#include "link/event_loop_clock.h"
#include "link/forwarding_port.h"
#include "link/tracing_port.h"
#include "model/form1.h"
#include "model/protocol.h"
#include "model/texts.h"

namespace {

// The three times, each in device order: seconds, minutes, hours.
struct Group {
  const char* name;
  Ctl seconds, minutes, hours;
  std::optional<Hms> TimerConfig::*value;
};
constexpr Group kGroups[] = {
    {"mono", Ctl::segundos, Ctl::minutos, Ctl::horas, &TimerConfig::mono},
    {"on", Ctl::segundos_on, Ctl::minutos_on, Ctl::horas_on, &TimerConfig::on},
    {"off", Ctl::segundos_off, Ctl::minutos_off, Ctl::horas_off, &TimerConfig::off},
};

// What the window shows: the three times and the power-up option.
TimerConfig Shown(const HeadlessView& view) {
  TimerConfig config;
  for (const Group& g : kGroups)
    config.*g.value = Hms{view.text(g.hours), view.text(g.minutes), view.text(g.seconds)};
  config.powerUpOn = view.value(Ctl::Option3);
  return config;
}

void Enter(HeadlessView& view, const TimerConfig& config) {
  for (const Group& g : kGroups) {
    if (!(config.*g.value)) continue;
    view.setText(g.hours, (config.*g.value)->hours);
    view.setText(g.minutes, (config.*g.value)->minutes);
    view.setText(g.seconds, (config.*g.value)->seconds);
  }
  const bool bistable = config.bistable.value_or(false);
  view.setValue(Ctl::Option1, !bistable);
  view.setValue(Ctl::Option2, bistable);
  if (config.powerUpOn) {
    view.setValue(Ctl::Option3, *config.powerUpOn);
    view.setValue(Ctl::Option4, !*config.powerUpOn);
  }
}

QStringList Differences(const TimerConfig& sent, const TimerConfig& found) {
  QStringList differences;
  for (const Group& g : kGroups) {
    const Hms& a = *(sent.*g.value);
    const Hms& b = *(found.*g.value);
    if (!(a == b))
      differences << QStringLiteral("%1: sent %2, device has %3")
                         .arg(QLatin1String(g.name), a.text(), b.text());
  }
  if (sent.powerUpOn != found.powerUpOn) {
    differences << QStringLiteral("power-up: sent %1, device has %2")
                       .arg(PowerUpWord(*sent.powerUpOn), PowerUpWord(*found.powerUpOn));
  }
  return differences;
}

// Stands where the port stands and keeps what the device sent since the last
// command or emptying: the read-back is taken from it, not from the window.
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
    if (!m_received.contains('Y')) m_received = (m_received + bytes).right(kMostKept);
    return bytes;
  }

 private:
  static constexpr qsizetype kMostKept = 4096;
  QByteArray m_received;
};

// What went wrong with a port, in the words an operator acts on. A line that
// failed while open was lost: the system's words then come from whatever call
// noticed it ("Inappropriate ioctl for device"), which says nothing.
QString PortReason(const Outcome& outcome) {
  switch (outcome.fault) {
    case PortFault::Unplugged:
      return QStringLiteral("the line was lost: the adapter went away or the device hung up");
    case PortFault::ConnectionLost:
      return QStringLiteral("the line was lost: the device server closed the connection");
    default:
      return outcome.reason;
  }
}

// The device, its line and the window model of one run.
class Session {
 public:
  Session(const Target& target, const Request& request)
      : m_port(target.ports),
        m_recorder(line(target, request)),
        m_form(m_view, m_recorder, m_clock) {
    Form_Load(m_form);
    m_view.setListIndex(Ctl::Combo1, target.number - 1);
    Combo1_Click(m_form);
  }

  HeadlessView& view() { return m_view; }
  Form1& form() { return m_form; }
  const QByteArray& received() const { return m_recorder.received(); }

  // Probes the device again on the open line, from an empty receive buffer,
  // as the handshake does; the read-back is what it answers.
  Outcome probe() {
    SerialPort& port = m_form.Conexion;
    if (!port.clearInBuffer() || !port.output(QByteArray(kProbe))) return lineLost();
    switch (ReplyWait(m_form, QByteArray(kProbeAnswer), QByteArray(kProbeReplyStart)).end) {
      case WaitEnd::AnswerSeen:
        return {};
      case WaitEnd::NoAnswer:
        Show(m_view, kNoDevice);
        return OutcomeOf(Result::NoAnswer);
      default:
        return lineLost();
    }
  }

  // Keeps what the handlers showed; failures only.
  bool ended(const Outcome& outcome, DeviceResult& result) {
    for (const HeadlessView::Shown& shown : m_view.takeMessages()) {
      if (shown.icon == MsgIcon::Error) result.messages << shown.prompt;
    }
    switch (outcome.result) {
      case Result::Done:
        return false;
      case Result::Refused:
        result.verdict = Verdict::Refused;
        result.reason = result.messages.value(0);
        break;
      case Result::PortUnavailable:
        result.verdict = Verdict::PortUnavailable;
        result.reason = PortReason(outcome);
        break;
      case Result::NoAnswer:
      case Result::PortClosed:
      case Result::Unloaded:
      case Result::Busy:
        result.verdict = Verdict::NoAnswer;
        break;
    }
    return true;
  }

  void unlink() {
    if (m_form.Conecta == 0) Conectar_Click(m_form);
  }

 private:
  SerialPort& line(const Target& target, const Request& request) {
    if (!request.trace) return m_port;
    m_tracer = std::make_unique<TracingPort>(
        m_port, [&target, &request](const QString& line) { request.trace(target.label, line); },
        request.traceStart);
    return *m_tracer;
  }

  Outcome lineLost() {
    Show(m_view, kPortUnavailable);
    Outcome outcome = PortUnavailableOutcome(m_form.Conexion);
    if (outcome.fault == PortFault::None) outcome.fault = PortFault::Unplugged;
    return outcome;
  }

  HeadlessView m_view;
  ComPort m_port;
  std::unique_ptr<TracingPort> m_tracer;
  ReplyRecorder m_recorder;
  EventLoopClock m_clock;
  Form1 m_form;
};

// How many devices are done; the threads tell, the caller waits.
struct Finished {
  std::mutex mutex;
  std::condition_variable changed;
  int count = 0;
};

class DeviceThread : public QThread {
 public:
  DeviceThread(const Target& target, const Request& request, Finished& finished)
      : m_target(target), m_request(request), m_finished(finished) {}
  const DeviceResult& result() const { return m_result; }

 protected:
  // The port, the window model and the wait live and die on this thread.
  void run() override {
    m_result = RunOnDevice(m_target, m_request);
    const std::lock_guard<std::mutex> lock(m_finished.mutex);
    ++m_finished.count;
    m_finished.changed.notify_all();
  }

 private:
  const Target& m_target;
  const Request& m_request;
  Finished& m_finished;
  DeviceResult m_result;
};

}  // namespace

namespace {

// An answer to the probe that holds no read-back, as it came.
QString NoReadBack(const QByteArray& received) {
  return QStringLiteral("the answer holds no configuration: \"%1\"")
      .arg(QString::fromLatin1(received.left(40)));
}

}  // namespace

int ExitCode(Verdict verdict) {
  constexpr int kCodes[] = {kExitOk, kExitNoAnswer, kExitUsage, kExitPortUnavailable,
                            kExitVerifyFailed};
  return kCodes[static_cast<int>(verdict)];
}

QString ResultWord(Verdict verdict) {
  static const char* const kWords[] = {"ok", "no answer", "refused", "port unavailable",
                                       "verification failed"};
  return QLatin1String(kWords[static_cast<int>(verdict)]);
}

void Verify(const TimerConfig& sent, const QByteArray& received, DeviceResult& result) {
  const std::optional<TimerConfig> found = ReadBackIn(received);
  if (found && ReadBackTextIn(received) == ReadBackOf(sent)) return;
  result.verdict = Verdict::VerificationFailed;
  if (!found) {
    result.differences << NoReadBack(received);
    return;
  }
  result.differences = Differences(sent, *found);
  // Only a flag other than "0" or "1" is left to differ.
  if (result.differences.isEmpty())
    result.differences << QStringLiteral("power-up: sent %1, device has \"%2\"")
                              .arg(PowerUpWord(*sent.powerUpOn))
                              .arg(QLatin1Char(ReadBackTextIn(received).back()));
  result.configuration = found;
}

namespace {

void Upload(Session& session, const Request& request, const std::optional<TimerConfig>& readBack,
            DeviceResult& result) {
  const TimerConfig& c = request.changes;
  const bool everything = c.mono && c.on && c.off && c.powerUpOn;
  if (!everything && !(readBack && WellFormed(*readBack))) {
    result = {Verdict::Refused,
              QStringLiteral("the device's read-back is not a well-formed configuration; "
                             "give mono, on, off and power-up"),
              {},
              {},
              {}};
    return;
  }
  if (readBack) Enter(session.view(), *readBack);
  Enter(session.view(), c);
  if (session.ended(enviar_Click(session.form()), result)) return;
  if (!request.verify) return;
  // The device said it took it; what it reads back tells whether it did.
  const TimerConfig sent = Shown(session.view());
  if (session.ended(session.probe(), result)) return;
  Verify(sent, session.received(), result);
}

}  // namespace

DeviceResult RunOnDevice(const Target& target, const Request& request) {
  Session session(target, request);
  DeviceResult result;

  if (session.ended(Conectar_Click(session.form()), result)) return result;
  const std::optional<TimerConfig> readBack = ReadBackIn(session.received());

  switch (request.job) {
    case Job::Read:
      if (readBack) {
        result.configuration = readBack;
      } else {
        result = {Verdict::NoAnswer, NoReadBack(session.received()), {}, {}, {}};
      }
      break;
    case Job::Fire:
      session.ended(fire_Click(session.form()), result);
      break;
    case Job::Upload:
      Upload(session, request, readBack, result);
      break;
  }
  session.unlink();
  return result;
}

std::vector<DeviceResult> RunOnDevices(const std::vector<Target>& targets, const Request& request,
                                       const std::function<void(int done)>& progress) {
  Finished finished;
  std::vector<std::unique_ptr<DeviceThread>> threads;
  for (const Target& target : targets) {
    threads.push_back(std::make_unique<DeviceThread>(target, request, finished));
    threads.back()->start();
  }
  const int all = static_cast<int>(threads.size());
  for (int told = -1; told < all;) {
    std::unique_lock<std::mutex> lock(finished.mutex);
    finished.changed.wait(lock, [&] { return finished.count != told; });
    told = finished.count;
    lock.unlock();
    if (progress) progress(told);
  }
  std::vector<DeviceResult> results;
  for (const auto& thread : threads) {
    thread->wait();
    results.push_back(thread->result());
  }
  return results;
}
