// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/programmer.h"

#include <QFileInfo>

#include <algorithm>

#include "cli/interruption.h"
#include "link/serial_port.h"

namespace {

// How two configurations differ, field by field, over the fields `expected`
// gives: `time` and `powerUp` say it, with the field's name (times only),
// the expected value and the one found.
QList<Text> FieldDifferences(const TimerConfig& expected, const TimerConfig& found,
                             const char* time, const char* powerUp) {
  QList<Text> differences;
  for (const DeviceTime& t : kDeviceTimes) {
    const std::optional<Hms>& a = expected.*t.time;
    const std::optional<Hms>& b = found.*t.time;
    if (a && b && !(*a == *b))
      differences << Text(time, {QString::fromLatin1(t.name), a->text(), b->text()});
  }
  if (expected.powerUpOn && found.powerUpOn && PowerUpValue(expected) != PowerUpValue(found))
    differences << Text(powerUp, {PowerUpShown(expected), PowerUpShown(found)});
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
    case End::NoAnswer:  // a reason only when the line flooded
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

void Upload(DeviceSession& session, const Request& request, const Target& target,
            const ReadBack& readBack, DeviceResult& result) {
  const TimerConfig& c = target.changes;
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
  result.before = readBack.config;
  // Monostable unless asked: the record says which was sent.
  sent.bistable = c.bistable.value_or(false);
  result.sent = sent;
  if (request.sending && !request.sending(target, result)) {
    result.verdict = Verdict::Refused;
    result.reason = Text(QT_TRANSLATE_NOOP("timer", "not written: the record cannot be written"));
    return;
  }
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

void Read(const ReadBack& readBack, DeviceResult& result) {
  if (readBack.config) {
    result.configuration = readBack.config;
  } else {
    result.verdict = Verdict::NoReadBack;
    result.reason = NoReadBack(readBack);
  }
}

// What would change, and that a mode the inventory gives cannot be checked.
void Plan(const Target& target, const ReadBack& readBack, DeviceResult& result) {
  // A device that could not be read has failed: it does not differ.
  if (!readBack.config) return Read(readBack, result);
  result.differences = Departures(target.changes, readBack);
  result.verdict = result.differences.isEmpty() ? Verdict::Unchanged : Verdict::Differs;
  if (target.changes.bistable)
    result.reason = Text(QT_TRANSLATE_NOOP("timer",
                                           "mode %1 not checked: the device does not "
                                           "report its mode; it is written with any change"),
                         {QString::fromLatin1(*target.changes.bistable ? kModeBi : kModeMono)});
  else if (result.verdict == Verdict::Differs)
    // A bistable timer would become monostable: the mode cannot be read back.
    result.reason =
        Text(QT_TRANSLATE_NOOP("timer", "written as monostable: the entry gives no mode"));
}

// Whether the name still reaches the device the plan saw: by the adapter's
// serial number for a serial_number entry; else by the device itself and,
// where the system knew one either time, its adapter's serial number.
bool ReachesThePlannedDevice(const Target& target) {
  if (target.reachedAtPlan.isEmpty()) return true;
  if (target.identity.contains(QLatin1String("serial_number")))
    return target.reachedAtPlan.value(QLatin1String("serial_number")) ==
           target.reached.value(QLatin1String("serial_number"));
  return target.reachedAtPlan == target.reached;
}

// "/dev/ttyUSB0 (adapter A50285BI)"
QString ReachedWords(const QJsonObject& reached) {
  const QString serial = reached.value(QLatin1String("serial_number")).toString();
  const QString path = reached.value(QLatin1String("path")).toString();
  return serial.isEmpty() ? path
                          : Tr(QT_TRANSLATE_NOOP("timer", "%1 (adapter %2)")).arg(path, serial);
}

// A device that holds what the plan did not see is left as it is.
bool ChangedSincePlan(const Target& target, const ReadBack& readBack, DeviceResult& result) {
  if (!target.planned || readBack.config == target.held) return false;
  result.verdict = Verdict::ChangedSincePlan;
  if (!target.held) {
    result.reason = Text(QT_TRANSLATE_NOOP("timer", "the plan could not read it"));
  } else if (!readBack.config) {
    result.reason = NoReadBack(readBack);
  } else {
    result.differences =
        FieldDifferences(*target.held, *readBack.config,
                         QT_TRANSLATE_NOOP("timer", "%1: the plan saw %2, device has %3"),
                         QT_TRANSLATE_NOOP("timer", "power-up: the plan saw %1, device has %2"));
  }
  return true;
}

// Written only where it differs, and verified as an upload is. A device
// that already holds the file's values is unchanged whatever the plan saw: a
// plan applied again finishes only what is left.
void Apply(DeviceSession& session, const Request& request, const Target& target,
           const ReadBack& readBack, DeviceResult& result) {
  if (readBack.config && Departures(target.changes, readBack).isEmpty()) {
    result.verdict = Verdict::Unchanged;
    return;
  }
  if (ChangedSincePlan(target, readBack, result)) return;
  Upload(session, request, target, readBack, result);
  if (result.end == End::Answered && result.verdict == Verdict::Ok)
    result.verdict = Verdict::Programmed;
}

}  // namespace

QString ReachedPath(const Target& target) {
  const QString path = target.ports.path(target.number);
  const QString device = QFileInfo(path).canonicalFilePath();
  return device.isEmpty() ? path : device;
}

Target ComTarget(const PortMap& map, qint16 number) {
  const QString path = map.path(number);
  Target target;
  target.label = path.isEmpty() ? PortEntry(number) : PortEntry(number) + QLatin1Char(' ') + path;
  target.ports = map;
  target.number = number;
  target.identity = {{QStringLiteral("com"), number}};
  return target;
}

Target DeviceTarget(const QString& path, const TlsTrust& trust) {
  Target target;
  target.label = path;
  target.ports = PortMap::Direct(path);
  target.ports.trustFor(1, trust);
  target.byCom = false;
  target.identity = {{QStringLiteral("device"), path}};
  return target;
}

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
    case Verdict::Unchanged:
    case Verdict::Programmed:
      return kExitOk;
    case Verdict::NoReadBack:
      return kExitNoAnswer;
    case Verdict::Refused:
      return kExitUsage;
    case Verdict::VerificationFailed:
      return kExitVerifyFailed;
    case Verdict::Differs:
      return kExitDiffers;
    case Verdict::ChangedSincePlan:
      return kExitChangedSincePlan;
    case Verdict::Interrupted:
      return kExitBySignal + result.signal;
  }
  return kExitOk;
}

int FleetCode(Combine combine, const std::vector<DeviceResult>& results) {
  int largest = kExitOk;
  int failed = kExitOk;
  bool differs = false, found = false;
  for (const DeviceResult& r : results) {
    largest = std::max(largest, r.code());
    differs = differs || r.code() == kExitDiffers;
    found = found || r.code() == kExitOk;
    if (r.code() != kExitDiffers) failed = std::max(failed, r.code());
  }
  switch (combine) {
    case Combine::Largest:
      break;
    case Combine::FailureFirst:
      return failed != kExitOk ? failed : differs ? kExitDiffers : kExitOk;
    case Combine::AnyFound:
      return found ? kExitOk : kExitNoAnswer;
  }
  return largest;
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
    case Verdict::Unchanged:
      return Text(QT_TRANSLATE_NOOP("timer", "unchanged"));
    case Verdict::Differs:
      return Text(QT_TRANSLATE_NOOP("timer", "differs"));
    case Verdict::Programmed:
      return Text(QT_TRANSLATE_NOOP("timer", "programmed"));
    case Verdict::ChangedSincePlan:
      return Text(QT_TRANSLATE_NOOP("timer", "changed since plan"));
    case Verdict::Interrupted:
      return Text(QT_TRANSLATE_NOOP("timer", "interrupted"));
  }
  return EndWord(End::Answered);
}

QList<Text> Verify(const TimerConfig& sent, const ReadBack& readBack) {
  if (!readBack.config) return {NoReadBack(readBack)};
  if (readBack.text == ReadBackOf(sent)) return {};
  return FieldDifferences(sent, *readBack.config,
                          QT_TRANSLATE_NOOP("timer", "%1: sent %2, device has %3"),
                          QT_TRANSLATE_NOOP("timer", "power-up: sent %1, device has %2"));
}

QList<Text> Departures(const TimerConfig& wanted, const ReadBack& readBack) {
  if (!readBack.config) return {NoReadBack(readBack)};
  TimerConfig written = *readBack.config;
  written.update(wanted);
  if (readBack.text == ReadBackOf(written)) return {};
  QList<Text> departures = FieldDifferences(
      wanted, *readBack.config, QT_TRANSLATE_NOOP("timer", "%1: device %3, file %2"),
      QT_TRANSLATE_NOOP("timer", "power-up: device %2, file %1"));
  // Only a flag other than "0" or "1", which the file leaves as it is, is
  // left to differ: it is written as off.
  if (departures.isEmpty())
    departures << Text(QT_TRANSLATE_NOOP("timer", "power-up: device %1, file %2"),
                       {PowerUpShown(*readBack.config), PowerUpWord(false)});
  return departures;
}

DeviceResult Program(DeviceSession& session, const Request& request, const Target& target) {
  DeviceResult result;
  // Another device under the planned name is not even opened.
  if (request.job == Job::Apply && !ReachesThePlannedDevice(target)) {
    result.verdict = Verdict::ChangedSincePlan;
    result.reason =
        Text(QT_TRANSLATE_NOOP("timer", "the plan was made for %1, the name now reaches %2"),
             {ReachedWords(target.reachedAtPlan), ReachedWords(target.reached)});
    return result;
  }
  const Reply link = session.link();
  if (Ended(link, result)) return result;
  const ReadBack readBack = ReadBackIn(link.bytes);
  result.readBack = readBack.config;

  switch (request.job) {
    case Job::Read:
    case Job::Scan:
      Read(readBack, result);
      break;
    case Job::Fire:
      Ended(session.fire(), result);
      break;
    case Job::Upload:
      Upload(session, request, target, readBack, result);
      break;
    case Job::Plan:
      Plan(target, readBack, result);
      break;
    case Job::Apply:
      Apply(session, request, target, readBack, result);
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
  if (const int signal = request.interrupted ? request.interrupted() : 0) {
    result.verdict = Verdict::Interrupted;
    result.signal = signal;
    result.reason = Text(QT_TRANSLATE_NOOP("timer", "the run was stopped by %1 before this device"),
                         {SignalName(signal)});
  } else {
    const std::unique_ptr<DeviceLine> line = lines(target, request);
    DeviceSession session(*line, request.echo);
    result = Program(session, request, target);
    result.serverFingerprint = line->port().serverFingerprint();
  }
  if (done) done(target, result);
  return result;
}
