// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/programmer.h"

#include <QThread>

#include <condition_variable>
#include <memory>
#include <mutex>

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

// An answer to the probe that holds no read-back, as it came.
Text NoReadBack(const ReadBack& readBack) {
  return Text(QT_TRANSLATE_NOOP("timer", "the answer holds no configuration: \"%1\""),
              {QString::fromLatin1(readBack.answer.left(40))});
}

// An exchange that did not end with the device's answer ends the run.
bool Ended(const Reply& reply, DeviceResult& result) {
  result.end = reply.end;
  switch (reply.end) {
    case End::Answered:
      return false;
    case End::NoAnswer:
      break;
    case End::PortUnavailable:
    case End::PortClosed:
    case End::Unloaded:
      result.reason = reply.reason;
      break;
    case End::Echo:
      result.reason = Text(QT_TRANSLATE_NOOP(
          "timer",
          "the line echoes what is sent (a loopback plug, or an RS-485 converter with echo)"));
      break;
  }
  return true;
}

void Upload(DeviceSession& session, const Request& request, const ReadBack& readBack,
            DeviceResult& result) {
  const TimerConfig& c = request.changes;
  const bool everything = c.mono && c.on && c.off && c.powerUpOn;
  if (!everything && !(readBack.config && WellFormed(*readBack.config))) {
    result.verdict = Verdict::Refused;
    result.reason = Text(QT_TRANSLATE_NOOP("timer",
                                           "the device's read-back is not a well-formed "
                                           "configuration; give mono, on, off and power-up"));
    return;
  }
  TimerConfig sent = readBack.config.value_or(TimerConfig{});
  sent.update(c);
  // Monostable unless asked: the record says which was sent.
  sent.bistable = c.bistable.value_or(false);
  result.sent = sent;
  if (Ended(session.upload(*sent.bistable, sent), result)) return;
  if (!request.verify) return;
  // The device said it took it; what it reads back tells whether it did.
  const Reply probe = session.probe();
  if (Ended(probe, result)) return;
  const ReadBack verified = ReadBackIn(probe.bytes);
  result.readBack = verified.config;
  result.differences = Verify(sent, verified);
  if (result.differences.isEmpty()) return;
  result.verdict = Verdict::VerificationFailed;
  result.configuration = verified.config;
}

// How many devices are done; the threads tell, the caller waits.
struct Finished {
  std::mutex mutex;
  std::condition_variable changed;
  int count = 0;
};

class DeviceThread : public QThread {
 public:
  DeviceThread(const Target& target, const Request& request, const LineMaker& lines,
               const DeviceDone& done, Finished& finished)
      : m_target(target), m_request(request), m_lines(lines), m_done(done), m_finished(finished) {}
  const DeviceResult& result() const { return m_result; }

 protected:
  // The port and the wait live and die on this thread.
  void run() override {
    m_result = RunOnDevice(m_target, m_request, m_lines, m_done);
    const std::lock_guard<std::mutex> lock(m_finished.mutex);
    ++m_finished.count;
    m_finished.changed.notify_all();
  }

 private:
  const Target& m_target;
  const Request& m_request;
  const LineMaker& m_lines;
  const DeviceDone& m_done;
  Finished& m_finished;
  DeviceResult m_result;
};

}  // namespace

int DeviceResult::code() const {
  return ExitCode(*this);
}

int ExitCode(const DeviceResult& result) {
  switch (result.end) {
    case End::Answered:
      break;
    case End::NoAnswer:
    case End::Echo:
      return kExitNoAnswer;
    case End::PortUnavailable:
    case End::PortClosed:
    case End::Unloaded:
      return kExitPortUnavailable;
  }
  switch (result.verdict) {
    case Verdict::Ok:
      return kExitOk;
    case Verdict::NoReadBack:
      return kExitNoAnswer;
    case Verdict::Refused:
      return kExitUsage;
    case Verdict::VerificationFailed:
      return kExitVerifyFailed;
  }
  return kExitOk;
}

Text ResultWord(const DeviceResult& result) {
  if (result.end != End::Answered) return EndWord(result.end);
  switch (result.verdict) {
    case Verdict::Ok:
      break;
    case Verdict::NoReadBack:
      return EndWord(End::NoAnswer);
    case Verdict::Refused:
      return Text(QT_TRANSLATE_NOOP("timer", "refused"));
    case Verdict::VerificationFailed:
      return Text(QT_TRANSLATE_NOOP("timer", "verification failed"));
  }
  return EndWord(End::Answered);
}

QList<Text> Verify(const TimerConfig& sent, const ReadBack& readBack) {
  if (!readBack.config) return {NoReadBack(readBack)};
  if (readBack.text == ReadBackOf(sent)) return {};
  QList<Text> differences = Differences(sent, *readBack.config);
  // Only a flag other than "0" or "1" is left to differ.
  if (differences.isEmpty())
    differences << Text(QT_TRANSLATE_NOOP("timer", "power-up: sent %1, device has \"%2\""),
                        {PowerUpWord(*sent.powerUpOn), QString(QLatin1Char(readBack.text.back()))});
  return differences;
}

DeviceResult Program(DeviceSession& session, const Request& request) {
  DeviceResult result;
  const Reply link = session.link();
  if (Ended(link, result)) return result;
  const ReadBack readBack = ReadBackIn(link.bytes);
  result.readBack = readBack.config;

  switch (request.job) {
    case Job::Read:
      if (readBack.config) {
        result.configuration = readBack.config;
      } else {
        result.verdict = Verdict::NoReadBack;
        result.reason = NoReadBack(readBack);
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

std::unique_ptr<DeviceLine> RealLine(const Target& target, const Request& request) {
  Trace trace;
  if (request.trace)
    trace = [&request, &target](const QString& line) { request.trace(target.label, line); };
  return MakeDeviceLine(target.ports, target.number, trace, request.traceStart);
}

DeviceResult RunOnDevice(const Target& target, const Request& request, const LineMaker& lines,
                         const DeviceDone& done) {
  DeviceResult result;
  {
    const std::unique_ptr<DeviceLine> line = lines(target, request);
    DeviceSession session(*line, request.echo);
    result = Program(session, request);
  }
  if (done) done(target, result);
  return result;
}

std::vector<DeviceResult> RunOnDevices(const std::vector<Target>& targets, const Request& request,
                                       const LineMaker& lines,
                                       const std::function<void(int done)>& progress,
                                       const DeviceDone& done) {
  Finished finished;
  std::vector<std::unique_ptr<DeviceThread>> threads;
  for (const Target& target : targets) {
    threads.push_back(std::make_unique<DeviceThread>(target, request, lines, done, finished));
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
