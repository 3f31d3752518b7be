// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/timerctl.h"

#include <QJsonObject>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <variant>

#include <unistd.h>

#include "cli/fleet.h"
#include "cli/help.h"
#include "cli/interruption.h"
#include "cli/inventory.h"
#include "cli/options.h"
#include "cli/report.h"
#include "cli/whole_file.h"

namespace {

// What one run writes, through the console: whole lines, one at a time
// from any thread.
class Output {
 public:
  explicit Output(const Console& console) : m_console(console) {}

  void out(const QString& line) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_console.out(line + QLatin1Char('\n'));
  }
  void err(const QString& text, bool wholeLine = true) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_console.err(wholeLine ? text + QLatin1Char('\n') : text);
  }
  int fail(int code, const QString& message) {
    err(QStringLiteral("timerctl: ") + message);
    return code;
  }
  bool errIsTerminal() const { return m_console.errIsTerminal; }
  const LineMaker& lines() const { return m_console.lines; }

 private:
  const Console& m_console;
  std::mutex m_mutex;
};

// How a run is said: to whom, in which form, with which record.
struct Report {
  Output& output;
  const Command& command;
  bool asJson;
  const Adapters& adapters;
  RunRecord& record;
  // Standard output carries the kept plan: each device's line goes to stderr.
  bool planOnStdout = false;
};

// One device, as a person reads it: its configuration, or what went wrong.
// With --json, a read's configuration as a file holds it (which names the
// device too), and any other end as a fleet's line says it.
int RunOne(const Report& report, const Target& target, const Request& request) {
  const DeviceResult r = RunOnDevice(target, request, report.output.lines(), report.record.done());
  report.record.sync();
  for (const QString& line : FailureLines(r)) report.output.err(line);
  const bool readBack = r.code() == kExitOk && r.configuration;
  if (report.asJson && readBack) {
    QJsonObject object = ToJson(*r.configuration);
    object.insert(QStringLiteral("well_formed"), WellFormed(*r.configuration));
    const QJsonObject identity = IdentityOf(target, report.command, report.adapters);
    for (auto it = identity.begin(); it != identity.end(); ++it)
      object.insert(it.key(), it.value());
    if (!r.serverFingerprint.isEmpty())
      object.insert(QStringLiteral("server_fingerprint"), r.serverFingerprint);
    report.output.out(Compact(object));
  } else if (report.asJson) {
    report.output.out(Compact(JsonLine(target, r, report.command, report.adapters)));
  } else if (readBack) {
    for (const QString& line : ConfigurationLines(*r.configuration)) report.output.out(line);
  }
  return r.code();
}

// Many at once, one line each in the order given; the command says how their
// codes make the run's. A plan to keep gets every device's line, then the
// line that counts them.
int RunMany(const Report& report, const std::vector<Target>& targets, const Request& request,
            QByteArray* plan) {
  Output& output = report.output;
  const int total = static_cast<int>(targets.size());
  const std::vector<DeviceResult> results = RunOnDevices(
      targets, request, output.lines(),
      [&](int done) {
        // Progress only where someone watches it.
        if (output.errIsTerminal())
          output.err(QStringLiteral("\r%1/%2%3")
                         .arg(done)
                         .arg(total)
                         .arg(QLatin1String(done == total ? "\r\033[K" : "")),
                     false);
      },
      report.record.done());
  report.record.sync();
  for (std::size_t i = 0; i < results.size(); ++i) {
    const QJsonObject json = JsonLine(targets[i], results[i], report.command, report.adapters);
    const QString line =
        report.asJson ? Compact(json) : PeopleLine(targets[i], results[i], report.command);
    report.planOnStdout ? output.err(line) : output.out(line);
    if (plan) *plan += (Compact(json) + QLatin1Char('\n')).toUtf8();
  }
  if (plan) *plan += (Compact(EndOfPlan(total)) + QLatin1Char('\n')).toUtf8();
  const QString tally = Tally(results, report.command);
  if (!tally.isEmpty() && output.errIsTerminal()) output.err(tally);
  return FleetCode(report.command.combine, results);
}

// The run, once the command line holds: the record and the plan file opened
// before any port is, the devices served, the plan kept.
int Run(Invocation& run, Output& output, const Console& console) {
  Request& request = run.request;
  if (run.trace) {
    request.trace = [&output, &run](const QString& label, const QString& text) {
      output.err(run.lines ? label + QStringLiteral(": ") + text : text);
    };
  }
  RunRecord record(*run.command, run.adapters);
  if (!run.log.isEmpty() && !record.open(run.log))
    return output.fail(kExitUsage, QStringLiteral("--log ") + record.error());
  const bool planOnStdout = run.out == QStringLiteral("-");
  WholeFile planFile(run.out.value_or(QString()));
  QString error;
  if (run.out && !planOnStdout && !planFile.open(&error))
    return output.fail(kExitUsage, QStringLiteral("--out ") + error);
  request.sending = record.sending();
  request.interrupted = console.interrupted;

  const Report report{output, *run.command, run.asJson, run.adapters, record, planOnStdout};
  QByteArray plan;
  int code = run.lines ? RunMany(report, run.targets, request, run.out ? &plan : nullptr)
                       : RunOne(report, run.targets.front(), request);
  if (!record.error().isEmpty())
    code = std::max(code, output.fail(kExitUsage, QStringLiteral("--log ") + record.error()));
  // Stopped by a signal: that first, and no plan that lacks devices.
  if (const int signal = console.interrupted ? console.interrupted() : 0) {
    if (run.out)
      output.fail(kExitUsage, Tr(QT_TRANSLATE_NOOP("timer",
                                                   "--out %1: not kept: the run was "
                                                   "stopped by %2"))
                                  .arg(*run.out, SignalName(signal)));
    return kExitBySignal + signal;
  }
  if (!run.out) return code;
  if (planOnStdout) {
    console.out(QString::fromUtf8(plan));
    return code;
  }
  // Not kept: a script must not take the code of a plan for one it can apply.
  return planFile.write(plan, &error) ? code
                                      : output.fail(kExitUsage, QStringLiteral("--out ") + error);
}

}  // namespace

Console ProcessConsole() {
  const auto write = [](FILE* stream) {
    return [stream](const QString& text) {
      std::fputs(text.toLocal8Bit().constData(), stream);
      std::fflush(stream);
    };
  };
  return {write(stdout), write(stderr),        ::isatty(STDERR_FILENO) != 0,
          RealLine,      Adapters::FromSystem, StopSignal};
}

int RunTimerctl(const QStringList& arguments, const Console& console) {
  Output output(console);
  std::variant<Invocation, Stop> read = ReadInvocation(arguments, console.adapters);
  if (const Stop* stop = std::get_if<Stop>(&read)) return output.fail(stop->code, stop->message);
  Invocation& run = std::get<Invocation>(read);
  if (run.help) {
    console.out(HelpText());
    return kExitOk;
  }
  if (run.version) {
    output.out(QStringLiteral("timerctl %1").arg(QStringLiteral(TIMER_VERSION)));
    return kExitOk;
  }
  return Run(run, output, console);
}
