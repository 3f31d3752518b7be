// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/programmer.h"

#include <QThread>

#include <condition_variable>
#include <memory>
#include <mutex>

#include "device/messages.h"
#include "device/read_back.h"
#include "device/session.h"

namespace {

// The three times, by name, in device order.
constexpr const char* kTimeNames[] = {"mono", "on", "off"};

QList<Text> Differences(const TimerConfig& sent, const TimerConfig& found) {
  QList<Text> differences;
  for (std::size_t i = 0; i < std::size(kDeviceTimes); ++i) {
    const Hms& a = *(sent.*kDeviceTimes[i]);
    const Hms& b = *(found.*kDeviceTimes[i]);
    if (!(a == b))
      differences << Text(QT_TRANSLATE_NOOP("timer", "%1: sent %2, device has %3"),
                          {QString::fromLatin1(kTimeNames[i]), a.text(), b.text()});
  }
  if (sent.powerUpOn != found.powerUpOn) {
    differences << Text(QT_TRANSLATE_NOOP("timer", "power-up: sent %1, device has %2"),
                        {PowerUpWord(*sent.powerUpOn), PowerUpWord(*found.powerUpOn)});
  }
  return differences;
}

// What went wrong with a port, in the words an operator acts on. A line that
// failed while open was lost: the system's words then come from whatever call
// noticed it ("Inappropriate ioctl for device"), which says nothing.
Text PortReason(const Reply& reply) {
  switch (reply.fault) {
    case PortFault::Unplugged:
      return Text(QT_TRANSLATE_NOOP(
          "timer", "the line was lost: the adapter went away or the device hung up"));
    case PortFault::ConnectionLost:
      return Text(
          QT_TRANSLATE_NOOP("timer", "the line was lost: the device server closed the connection"));
    default:
      return reply.reason;
  }
}

// An exchange that did not end with the device's answer ends the run, with
// the message the window would show.
bool Ended(const Reply& reply, DeviceResult& result) {
  switch (reply.end) {
    case Exchange::Answered:
      return false;
    case Exchange::NoAnswer:
      result.verdict = Verdict::NoAnswer;
      result.messages << QString::fromUtf8(kNoDevice.prompt);
      break;
    case Exchange::PortUnavailable:
      result.verdict = Verdict::PortUnavailable;
      result.messages << QString::fromUtf8(kPortUnavailable.prompt);
      result.reason = PortReason(reply);
      break;
    case Exchange::Echo:
      result.verdict = Verdict::Echo;
      result.reason = Text(QT_TRANSLATE_NOOP(
          "timer",
          "the line echoes what is sent (a loopback plug, or an RS-485 converter with echo)"));
      break;
  }
  return true;
}

DeviceSession::Trace TraceOf(const Target& target, const Request& request) {
  if (!request.trace) return {};
  return [&target, &request](const QString& line) { request.trace(target.label, line); };
}

// How many devices are done; the threads tell, the caller waits.
struct Finished {
  std::mutex mutex;
  std::condition_variable changed;
  int count = 0;
};

class DeviceThread : public QThread {
 public:
  DeviceThread(const Target& target, const Request& request, const DeviceDone& done,
               Finished& finished)
      : m_target(target), m_request(request), m_done(done), m_finished(finished) {}
  const DeviceResult& result() const { return m_result; }

 protected:
  // The port, the window model and the wait live and die on this thread.
  void run() override {
    m_result = RunOnDevice(m_target, m_request, m_done);
    const std::lock_guard<std::mutex> lock(m_finished.mutex);
    ++m_finished.count;
    m_finished.changed.notify_all();
  }

 private:
  const Target& m_target;
  const Request& m_request;
  const DeviceDone& m_done;
  Finished& m_finished;
  DeviceResult m_result;
};

}  // namespace

namespace {

// An answer to the probe that holds no read-back, as it came.
Text NoReadBack(const QByteArray& received) {
  return Text(QT_TRANSLATE_NOOP("timer", "the answer holds no configuration: \"%1\""),
              {QString::fromLatin1(received.left(40))});
}

}  // namespace

int ExitCode(Verdict verdict) {
  constexpr int kCodes[] = {kExitOk,           kExitNoAnswer, kExitUsage, kExitPortUnavailable,
                            kExitVerifyFailed, kExitNoAnswer};
  return kCodes[static_cast<int>(verdict)];
}

Text ResultWord(Verdict verdict) {
  static const char* const kWords[] = {QT_TRANSLATE_NOOP("timer", "ok"),
                                       QT_TRANSLATE_NOOP("timer", "no answer"),
                                       QT_TRANSLATE_NOOP("timer", "refused"),
                                       QT_TRANSLATE_NOOP("timer", "port unavailable"),
                                       QT_TRANSLATE_NOOP("timer", "verification failed"),
                                       QT_TRANSLATE_NOOP("timer", "echo")};
  return Text(kWords[static_cast<int>(verdict)]);
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
    result.differences << Text(
        QT_TRANSLATE_NOOP("timer", "power-up: sent %1, device has \"%2\""),
        {PowerUpWord(*sent.powerUpOn), QString(QLatin1Char(ReadBackTextIn(received).back()))});
  result.configuration = found;
}

namespace {

void Upload(DeviceSession& session, const Request& request,
            const std::optional<TimerConfig>& readBack, DeviceResult& result) {
  const TimerConfig& c = request.changes;
  const bool everything = c.mono && c.on && c.off && c.powerUpOn;
  if (!everything && !(readBack && WellFormed(*readBack))) {
    result.verdict = Verdict::Refused;
    result.reason = Text(QT_TRANSLATE_NOOP("timer",
                                           "the device's read-back is not a well-formed "
                                           "configuration; give mono, on, off and power-up"));
    return;
  }
  TimerConfig sent = readBack.value_or(TimerConfig{});
  sent.update(c);
  // Monostable unless asked: the record says which was sent.
  sent.bistable = c.bistable.value_or(false);
  result.sent = sent;
  if (Ended(session.upload(*sent.bistable, sent), result)) return;
  if (!request.verify) return;
  // The device said it took it; what it reads back tells whether it did.
  if (Ended(session.probe(), result)) return;
  result.readBack = ReadBackIn(session.received());
  Verify(sent, session.received(), result);
}

DeviceResult Run(const Target& target, const Request& request) {
  DeviceSession session(target.ports, target.number, TraceOf(target, request), request.traceStart,
                        request.echo);
  DeviceResult result;

  if (Ended(session.link(), result)) return result;
  const std::optional<TimerConfig> readBack = ReadBackIn(session.received());
  result.readBack = readBack;

  switch (request.job) {
    case Job::Read:
      if (readBack) {
        result.configuration = readBack;
      } else {
        result.verdict = Verdict::NoAnswer;
        result.reason = NoReadBack(session.received());
      }
      break;
    case Job::Fire:
      Ended(session.fire(), result);
      break;
    case Job::Upload:
      Upload(session, request, readBack, result);
      break;
  }
  return result;
}

}  // namespace

DeviceResult RunOnDevice(const Target& target, const Request& request, const DeviceDone& done) {
  DeviceResult result = Run(target, request);
  if (done) done(target, result);
  return result;
}

std::vector<DeviceResult> RunOnDevices(const std::vector<Target>& targets, const Request& request,
                                       const std::function<void(int done)>& progress,
                                       const DeviceDone& done) {
  Finished finished;
  std::vector<std::unique_ptr<DeviceThread>> threads;
  for (const Target& target : targets) {
    threads.push_back(std::make_unique<DeviceThread>(target, request, done, finished));
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
