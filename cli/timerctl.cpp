// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/timerctl.h"

#include <QCommandLineParser>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <optional>
#include <utility>

#include <unistd.h>

#include "base/settings.h"
#include "cli/config_file.h"
#include "cli/interruption.h"
#include "cli/inventory.h"
#include "cli/programmer.h"
#include "cli/report.h"
#include "cli/whole_file.h"
#include "device/record.h"
#include "link/adapters.h"
#include "link/port_config.h"
#include "link/port_map.h"

namespace {

// One message a section, each whole, so that a translation lays it out as its
// language needs and an edit to one leaves the others translated.
const char* const kHelpSections[] = {
    QT_TRANSLATE_NOOP("timer", R"help(Usage: timerctl [OPTIONS] COMMAND

Reads, programs and fires timer devices on RS-232 lines (2400 baud, 8N1), with
the same port map, commands and answers as the timer-rs232 window.
)help"),
    QT_TRANSLATE_NOOP("timer", R"help(Commands:
  read                  Links (probe "Y") and prints the device's configuration:
                        the monostable, ON and OFF times as HH:MM:SS and the
                        power-up state. With --json, as one JSON object, which
                        upload --from takes back.
  upload                Links, takes the read-back as the starting point,
                        changes what is given, sends the configuration, then
                        reads it back and compares:
                          --from FILE           a configuration file (- for
                                                standard input); the options
                                                below override single values
                          --mode mono|bi        (default mono)
                          --mono HH:MM:SS       monostable time
                          --on HH:MM:SS         bistable ON time
                          --off HH:MM:SS        bistable OFF time
                          --power-up on|off     state at power-up
                          --no-verify           skips the read-back
                        Hours 00-99, minutes and seconds 00-59, two digits each.
                        A read-back that is not a well-formed configuration is
                        refused unless mono, on, off and power-up are all given.
  fire                  Links and fires the timer ("E").
  scan                  Probes every Com number that designates a device (or
                        the ones given) at once, and says which has a timer.
  plan FILE             Reads every device of the inventory FILE at once and
                        writes nothing: says of each "unchanged", what would
                        change ("on: device 00:20:10, file 00:00:10"), or why
                        it could not be read.
                          --out PLANFILE        keeps the plan (- for standard
                                                output): what each device held
                                                and which device it was, then
                                                a line that counts them; the
                                                old PLANFILE is replaced only
                                                by a whole plan
  apply FILE            Writes, all at once, only the devices of FILE whose
                        times or power-up differ, each verified as upload
                        verifies; the others are "unchanged".
                          --plan PLANFILE       a kept plan instead of FILE: a
                                                device that holds something
                                                else than the plan saw, or is
                                                not the device planned, is not
                                                written
                          --no-verify           skips the read-back
)help"),
    QT_TRANSLATE_NOOP("timer", R"help(Devices:
  --port N=PATH         Makes Com N designate the device PATH (N from 1 to 16),
                        or a serial device server: N=rfc2217://HOST:PORT (the
                        line is set from here) or N=tcp:HOST:PORT (raw: the
                        server sets it). Repeatable, and over the [ports] group
                        of ~/.config/timer-rs232/timer-rs232.conf. Without
                        either, the system's serial ports: ttyS by number, then
                        ttyUSB, then ttyACM, then the rest.
  --com N               A Com number to use (default 1). Repeatable.
  --device PATH         A device PATH (or rfc2217:// or tcp: address) to use
                        directly. Repeatable.
  --all                 Every Com number that designates a device.
  --echo                The line echoes what is sent (an RS-485 converter with
                        echo): the echo of each command is dropped before the
                        answer is read. Without it, such a line ends with
                        "echo" and code 1.
  With more than one device, or --all, all of them are served at once and each
  gets one line, in the order given: "Com2 /dev/ttyUSB1: ok", "...: no answer",
  "...: port unavailable (REASON)", "...: verification failed (...)". One device
  named twice is refused.
)help"),
    QT_TRANSLATE_NOOP("timer", R"help(Inventory:
  One JSON object per line: the device, by "device" (a path or an address),
  "com" (a Com number) or "serial_number" (its USB adapter's), and its
  configuration, the keys upload --from takes, alone or under
  "configuration". What read --json writes for several devices is one. The
  device does not report its mode: a device is unchanged when its times and
  power-up are; a mode given is written with any change, and an entry without
  one is written as monostable.
)help"),
    QT_TRANSLATE_NOOP("timer", R"help(Output:
  --json                One JSON object per device.
  --trace               Every byte sent and received, on standard error:
                        milliseconds since the start, tx or rx, the characters
                        (others as \xNN) and their hex codes.
  --log FILE            Appends one JSON line per device and operation to FILE,
                        the programming record: the time, the operation, the
                        port and its adapter, what was sent and read back, the
                        result and the exit code. Before a configuration goes
                        out, a line with what the device held and what is sent
                        is on the disk.
  -h, --help            Shows this help.
  --version             Shows the version.
)help"),
};

// The exit statuses, each with what it means: the help's last section, and
// with it the manual page's; docs/timerctl.md's table is checked against it.
struct ExitStatus {
  const char* codes;
  const char* meaning;
};
const ExitStatus kExitStatuses[] = {
    {"0", QT_TRANSLATE_NOOP("timer", "success (scan: a timer answered)")},
    {"1", QT_TRANSLATE_NOOP("timer",
                            "the device did not answer (\"The device is not found\"), its answer "
                            "held no configuration, the line never went quiet, or it echoes what "
                            "is sent; scan: no timer answered")},
    {"2", QT_TRANSLATE_NOOP("timer",
                            "bad usage, a bad configuration file, inventory or plan, a value out "
                            "of range, an upload refused, or a plan or record that cannot be "
                            "written")},
    {"3", QT_TRANSLATE_NOOP("timer",
                            "the port is not available (\"The port is not available\", and the "
                            "reason), or the line was lost")},
    {"4",
     QT_TRANSLATE_NOOP("timer", "the device acknowledged an upload but reads back something else")},
    {"5", QT_TRANSLATE_NOOP("timer", "plan: something would change")},
    {"6", QT_TRANSLATE_NOOP("timer",
                            "apply --plan: a device holds something else than the plan saw, or "
                            "is not the device planned, and was not written")},
    {"130", QT_TRANSLATE_NOOP("timer",
                              "stopped by SIGINT (143: SIGTERM, 129: SIGHUP): no device started "
                              "after it; those started were finished and recorded")},
};
const char* const kExitStatusTitle = QT_TRANSLATE_NOOP("timer", "Exit status:");
const char* const kExitStatusNote =
    QT_TRANSLATE_NOOP("timer",
                      "With several devices, the largest code among them; for a plan, a device "
                      "that could not be read counts before one that would change; a signal's "
                      "code counts before all.");

// `text` in lines of at most kHelpWidth columns, the first after `first`,
// the others after as many blanks as `indent`.
constexpr int kHelpWidth = 79;
QString Wrapped(const QString& first, int indent, const QString& text) {
  QString wrapped = first;
  qsizetype column = first.size();
  const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
  for (const QString& word : words) {
    const bool starts = column == first.size();
    if (!starts && column + 1 + word.size() > kHelpWidth) {
      wrapped += QLatin1Char('\n') + QString(indent, QLatin1Char(' '));
      column = indent;
    } else if (!starts) {
      wrapped += QLatin1Char(' ');
      ++column;
    }
    wrapped += word;
    column += word.size();
  }
  return wrapped + QLatin1Char('\n');
}

QString HelpText() {
  QStringList sections;
  for (const char* section : kHelpSections) sections << Tr(section);
  QString exit = Tr(kExitStatusTitle) + QLatin1Char('\n');
  for (const ExitStatus& status : kExitStatuses) {
    const QString code = QStringLiteral("  %1").arg(QLatin1String(status.codes), -3);
    exit += Wrapped(code + QStringLiteral("  "), 7, Tr(status.meaning));
  }
  sections << exit + Wrapped(QStringLiteral("  "), 2, Tr(kExitStatusNote));
  return sections.join(QLatin1Char('\n'));
}

constexpr int kExitNoTimerFound = kExitNoAnswer;

std::optional<QByteArray> ReadFile(const QString& name, QString* error) {
  QFile file;
  bool opened = false;
  if (name == QLatin1String("-")) {
    opened = file.open(stdin, QIODevice::ReadOnly);
  } else {
    file.setFileName(name);
    opened = file.open(QIODevice::ReadOnly);
  }
  if (!opened) {
    *error = QStringLiteral("%1: %2").arg(name, file.errorString());
    return std::nullopt;
  }
  return file.readAll();
}

// A step that ends the run before any device is served: why, and the code.
struct Stop {
  int code;
  QString message;
};

// timerctl's options, declared once for the parser and the steps.
struct Cli {
  const QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")}, QString()};
  const QCommandLineOption version{QStringLiteral("version"), QString()};
  const QCommandLineOption port{QStringLiteral("port"), QString(), QStringLiteral("N=PATH")};
  const QCommandLineOption com{QStringLiteral("com"), QString(), QStringLiteral("N")};
  const QCommandLineOption device{QStringLiteral("device"), QString(), QStringLiteral("PATH")};
  const QCommandLineOption all{QStringLiteral("all"), QString()};
  const QCommandLineOption json{QStringLiteral("json"), QString()};
  const QCommandLineOption trace{QStringLiteral("trace"), QString()};
  const QCommandLineOption echo{QStringLiteral("echo"), QString()};
  const QCommandLineOption log{QStringLiteral("log"), QString(), QStringLiteral("FILE")};
  const QCommandLineOption from{QStringLiteral("from"), QString(), QStringLiteral("FILE")};
  const QCommandLineOption noVerify{QStringLiteral("no-verify"), QString()};
  const QCommandLineOption mode{QStringLiteral("mode"), QString(), QStringLiteral("mono|bi")};
  const QCommandLineOption powerUp{QStringLiteral("power-up"), QString(), QStringLiteral("on|off")};
  const QCommandLineOption mono{QStringLiteral("mono"), QString(), QStringLiteral("HH:MM:SS")};
  const QCommandLineOption on{QStringLiteral("on"), QString(), QStringLiteral("HH:MM:SS")};
  const QCommandLineOption off{QStringLiteral("off"), QString(), QStringLiteral("HH:MM:SS")};
  const QCommandLineOption plan{QStringLiteral("plan"), QString(), QStringLiteral("PLANFILE")};
  const QCommandLineOption out{QStringLiteral("out"), QString(), QStringLiteral("PLANFILE")};
  QCommandLineParser parser;

  Cli() {
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    parser.addOptions({help, version, port, com, device, all, json, trace, echo, log, from,
                       noVerify, mode, powerUp, mono, on, off, plan, out});
  }
  bool isSet(const QCommandLineOption& option) const { return parser.isSet(option); }
  QString value(const QCommandLineOption& option) const { return parser.value(option); }
};

Stop Usage(const QString& message) {
  return {kExitUsage, message};
}

// One of two words for an option, the one that means true named by `yes`.
std::optional<Stop> Choice(const Cli& cli, const QCommandLineOption& option, const char* first,
                           const char* second, const char* yes, std::optional<bool>& out) {
  if (!cli.isSet(option)) return std::nullopt;
  const QString value = cli.value(option);
  if (value != QLatin1String(first) && value != QLatin1String(second))
    return Usage(Tr(QT_TRANSLATE_NOOP("timer", "--%1 takes %2 or %3"))
                     .arg(option.names().first(), QLatin1String(first), QLatin1String(second)));
  out = value == QLatin1String(yes);
  return std::nullopt;
}

// The command, and the inventory a plan or an apply works from.
struct Command {
  Job job = Job::Read;
  QString inventory;
  bool keptPlan = false;  // apply --plan
};

std::optional<Stop> ReadCommand(const Cli& cli, Command& command) {
  const QStringList positional = cli.parser.positionalArguments();
  const QString name = positional.value(0);
  const std::pair<const char*, Job> jobs[] = {{"read", Job::Read}, {"upload", Job::Upload},
                                              {"fire", Job::Fire}, {"scan", Job::Scan},
                                              {"plan", Job::Plan}, {"apply", Job::Apply}};
  const auto* found = std::find_if(std::begin(jobs), std::end(jobs), [&](const auto& job) {
    return name == QLatin1String(job.first);
  });
  const bool inventory =
      found != std::end(jobs) && (found->second == Job::Plan || found->second == Job::Apply);
  const int files = inventory && !cli.isSet(cli.plan) ? 1 : 0;
  if (found == std::end(jobs) || positional.size() != 1 + files)
    return Usage(Tr(QT_TRANSLATE_NOOP("timer",
                                      "expected one command: read, upload, fire, scan, "
                                      "plan FILE, apply FILE or apply --plan PLANFILE "
                                      "(see --help)")));
  command.job = found->second;
  command.inventory = files ? positional.value(1) : cli.value(cli.plan);
  command.keptPlan = inventory && !files;
  // What an unset variable in a script leaves: never a default in its place.
  if (files && command.inventory.isEmpty())
    return Usage(Tr(QT_TRANSLATE_NOOP("timer", "%1: the name is empty")).arg(name));
  for (const QCommandLineOption* option : {&cli.plan, &cli.out, &cli.log, &cli.from, &cli.device}) {
    if (cli.parser.values(*option).contains(QString()))
      return Usage(Tr(QT_TRANSLATE_NOOP("timer", "%1: the name is empty"))
                       .arg(QStringLiteral("--") + option->names().first()));
  }
  const std::pair<const QCommandLineOption*, bool> allowed[] = {
      {&cli.plan, command.job == Job::Apply},
      {&cli.out, command.job == Job::Plan},
      {&cli.com, !inventory},
      {&cli.device, !inventory},
      {&cli.all, !inventory},
      {&cli.noVerify, command.job == Job::Upload || command.job == Job::Apply}};
  for (const auto& [option, fits] : allowed) {
    if (cli.isSet(*option) && !fits)
      return Usage(Tr(QT_TRANSLATE_NOOP("timer", "--%1 does not go with %2"))
                       .arg(option->names().first(), name));
  }
  return std::nullopt;
}

// What to upload: the file, then the options over it, all checked before any
// line is touched.
std::optional<Stop> ReadChanges(const Cli& cli, bool upload, TimerConfig& changes) {
  for (const QCommandLineOption* option :
       {&cli.from, &cli.mode, &cli.powerUp, &cli.mono, &cli.on, &cli.off}) {
    if (cli.isSet(*option) && !upload)
      return Usage(
          Tr(QT_TRANSLATE_NOOP("timer", "--%1 goes with upload")).arg(option->names().first()));
  }
  QString error;
  if (cli.isSet(cli.from)) {
    const QString name = cli.value(cli.from);
    const std::optional<QByteArray> text = ReadFile(name, &error);
    if (!text) return Usage(error);
    const QString source =
        name == QLatin1String("-") ? Tr(QT_TRANSLATE_NOOP("timer", "standard input")) : name;
    const std::optional<TimerConfig> file = ParseTimerConfig(*text, source, &error);
    if (!file) return Usage(error);
    changes = *file;
  }
  TimerConfig given;
  const std::pair<const QCommandLineOption*, std::optional<Hms>*> times[] = {
      {&cli.mono, &given.mono}, {&cli.on, &given.on}, {&cli.off, &given.off}};
  for (const auto& [option, slot] : times) {
    if (!cli.isSet(*option)) continue;
    *slot = ParseHms(cli.value(*option), &error);
    if (!*slot) return Usage(QStringLiteral("--%1: %2").arg(option->names().first(), error));
  }
  if (auto stop = Choice(cli, cli.mode, "mono", "bi", "bi", given.bistable)) return stop;
  if (auto stop = Choice(cli, cli.powerUp, "on", "off", "on", given.powerUpOn)) return stop;
  changes.update(given);
  return std::nullopt;
}

// --port over the settings file's map; `system`: without either, the
// system's serial ports.
std::optional<Stop> ReadPortMap(const Cli& cli, bool system, PortMap& map) {
  PortMap fromCommandLine;
  QString error;
  if (!ParsePortOptions(cli.parser.values(cli.port), &fromCommandLine, &error))
    return Usage(QStringLiteral("--port ") + error);
  map = PortsOverConfiguration(fromCommandLine);
  // Only the settings file can hold one: the system would take the path cut
  // there, another device.
  for (int n = 1; n <= kPortCount; ++n) {
    if (map.path(n).contains(QChar::Null))
      return Usage(Tr(QT_TRANSLATE_NOOP("timer",
                                        "%1: [ports] %2: the device path holds a NUL "
                                        "character"))
                       .arg(SettingsFilePath())
                       .arg(n));
  }
  if (system && map.isEmpty()) map = PortMap::FromSystem();
  return std::nullopt;
}

// One device named twice would be served twice at once, on two ports.
std::optional<Stop> NamedOnce(const std::vector<Target>& targets) {
  QMap<QString, const Target*> seen;
  for (const Target& target : targets) {
    const QString device = ReachedPath(target);
    if (const Target* first = seen.value(device, nullptr))
      return Usage(Tr(QT_TRANSLATE_NOOP("timer", "%1 and %2 name the same device"))
                       .arg(first->label, target.label));
    seen.insert(device, &target);
  }
  return std::nullopt;
}

// --device and --com in the order given.
std::optional<Stop> GivenTargets(const Cli& cli, const PortMap& map, std::vector<Target>& targets) {
  int comIndex = 0;
  int deviceIndex = 0;
  const QStringList names = cli.parser.optionNames();
  for (const QString& name : names) {
    if (name == QLatin1String("com")) {
      bool ok = false;
      const int number = cli.parser.values(cli.com).value(comIndex++).toInt(&ok);
      if (!ok || number < 1 || number > kPortCount)
        return Usage(
            Tr(QT_TRANSLATE_NOOP("timer", "--com takes a number from 1 to %1")).arg(kPortCount));
      targets.push_back(ComTarget(map, static_cast<qint16>(number)));
    } else if (name == QLatin1String("device")) {
      const QString path = cli.parser.values(cli.device).value(deviceIndex++);
      if (IsNetworkPath(path) && !ParseNetworkPath(path))
        return Usage(Tr(QT_TRANSLATE_NOOP(
                            "timer", "--device %1: expected rfc2217://HOST:PORT or tcp:HOST:PORT"))
                         .arg(path));
      targets.push_back(DeviceTarget(path));
    }
  }
  return std::nullopt;
}

// Which devices: those given, or with --all (and a scan of nothing given)
// every Com number that designates one, or Com1.
std::optional<Stop> ResolveTargets(const Cli& cli, Job job, std::vector<Target>& targets,
                                   bool& everyDevice) {
  PortMap map;
  const bool byNumber = cli.isSet(cli.com) || cli.isSet(cli.all) || !cli.isSet(cli.device);
  if (cli.isSet(cli.port) || byNumber) {
    if (auto stop = ReadPortMap(cli, true, map)) return stop;
  }
  if (auto stop = GivenTargets(cli, map, targets)) return stop;
  if (auto stop = NamedOnce(targets)) return stop;
  everyDevice = cli.isSet(cli.all) || (job == Job::Scan && targets.empty());
  if (everyDevice) {
    if (!targets.empty())
      return Usage(Tr(QT_TRANSLATE_NOOP("timer", "--all goes without --com and --device")));
    for (int n = 1; n <= kPortCount; ++n) {
      if (!map.path(n).isEmpty()) targets.push_back(ComTarget(map, static_cast<qint16>(n)));
    }
    if (targets.empty())
      return Stop{kExitPortUnavailable,
                  Tr(QT_TRANSLATE_NOOP("timer", "no port designates a device"))};
  }
  if (targets.empty()) targets.push_back(ComTarget(map, 1));
  return std::nullopt;
}

// The devices of an inventory or a plan, each with what it should hold.
std::optional<Stop> InventoryOf(const Cli& cli, const Command& command, const Adapters& adapters,
                                std::vector<Target>& targets) {
  QString error;
  const QString& file = command.inventory;
  const std::optional<QByteArray> text = ReadFile(file, &error);
  if (!text) return Usage(error);
  const std::optional<std::vector<InventoryEntry>> entries =
      ParseInventory(*text, file, command.keptPlan, &error);
  if (!entries) return Usage(error);
  if (entries->empty())
    return Usage(Tr(QT_TRANSLATE_NOOP("timer", "%1: names no device")).arg(file));
  PortMap map;
  if (auto stop = ReadPortMap(cli, true, map)) return stop;
  std::optional<std::vector<Target>> found =
      InventoryTargets(*entries, map, adapters, file, &error);
  if (!found) return Usage(error);
  targets = std::move(*found);
  return std::nullopt;
}

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
  Job job;
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
    const QJsonObject identity = IdentityOf(target, report.job, report.adapters);
    for (auto it = identity.begin(); it != identity.end(); ++it)
      object.insert(it.key(), it.value());
    report.output.out(Compact(object));
  } else if (report.asJson) {
    report.output.out(Compact(JsonLine(target, r, report.job, report.adapters)));
  } else if (readBack) {
    for (const QString& line : ConfigurationLines(*r.configuration)) report.output.out(line);
  }
  return r.code();
}

// A plan's code: a device that could not be read says why; else whether
// anything would change.
int PlanCode(const std::vector<DeviceResult>& results) {
  int failed = kExitOk;
  bool differs = false;
  for (const DeviceResult& r : results) {
    differs = differs || r.code() == kExitDiffers;
    if (r.code() != kExitDiffers) failed = std::max(failed, r.code());
  }
  return failed != kExitOk ? failed : differs ? kExitDiffers : kExitOk;
}

// Many at once, one line each in the order given; the largest code counts.
// A plan to keep gets every device's line, then the line that counts them.
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
  int code = kExitOk;
  bool timerFound = false;
  for (std::size_t i = 0; i < results.size(); ++i) {
    const DeviceResult& r = results[i];
    code = std::max(code, r.code());
    timerFound = timerFound || r.code() == kExitOk;
    const QJsonObject json = JsonLine(targets[i], r, report.job, report.adapters);
    const QString line = report.asJson ? Compact(json) : PeopleLine(targets[i], r, report.job);
    report.planOnStdout ? output.err(line) : output.out(line);
    if (plan) *plan += (Compact(json) + QLatin1Char('\n')).toUtf8();
  }
  if (plan) *plan += (Compact(EndOfPlan(total)) + QLatin1Char('\n')).toUtf8();
  if ((report.job == Job::Plan || report.job == Job::Apply) && output.errIsTerminal())
    output.err(Tally(results, report.job));
  if (report.job == Job::Scan) return timerFound ? kExitOk : kExitNoTimerFound;
  return report.job == Job::Plan ? PlanCode(results) : code;
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
  Cli cli;
  if (!cli.parser.parse(arguments)) return output.fail(kExitUsage, cli.parser.errorText());
  if (cli.isSet(cli.help)) {
    console.out(HelpText());
    return kExitOk;
  }
  if (cli.isSet(cli.version)) {
    output.out(QStringLiteral("timerctl %1").arg(QStringLiteral(TIMER_VERSION)));
    return kExitOk;
  }
  Command command;
  Request request;
  TimerConfig changes;
  std::optional<Stop> stop = ReadCommand(cli, command);
  if (!stop) stop = ReadChanges(cli, command.job == Job::Upload, changes);
  if (stop) return output.fail(stop->code, stop->message);
  request.job = command.job;
  request.verify = !cli.isSet(cli.noVerify);
  request.echo = cli.isSet(cli.echo);

  // What the system knows of its adapters, asked once, and only when needed.
  const bool inventory = command.job == Job::Plan || command.job == Job::Apply;
  const Adapters adapters =
      inventory || cli.isSet(cli.log) || cli.isSet(cli.json) ? console.adapters() : Adapters();
  std::vector<Target> targets;
  bool everyDevice = false;
  stop = inventory ? InventoryOf(cli, command, adapters, targets)
                   : ResolveTargets(cli, command.job, targets, everyDevice);
  if (stop) return output.fail(stop->code, stop->message);
  for (Target& target : targets) {
    if (!inventory) target.changes = changes;
  }

  const bool lines = inventory || command.job == Job::Scan || everyDevice || targets.size() > 1;
  if (cli.isSet(cli.trace)) {
    request.trace = [&output, lines](const QString& label, const QString& text) {
      output.err(lines ? label + QStringLiteral(": ") + text : text);
    };
  }

  // The record and the plan file are opened before any port is.
  RunRecord record(command.job, adapters);
  if (cli.isSet(cli.log) && !record.open(cli.value(cli.log)))
    return output.fail(kExitUsage, QStringLiteral("--log ") + record.error());
  const bool keep = cli.isSet(cli.out);
  const bool planOnStdout = cli.value(cli.out) == QLatin1String("-");
  WholeFile planFile(cli.value(cli.out));
  QString error;
  if (keep && !planOnStdout && !planFile.open(&error))
    return output.fail(kExitUsage, QStringLiteral("--out ") + error);
  request.sending = record.sending();
  request.interrupted = console.interrupted;

  const Report report{output, command.job, cli.isSet(cli.json), adapters, record, planOnStdout};
  QByteArray plan;
  int code = lines ? RunMany(report, targets, request, keep ? &plan : nullptr)
                   : RunOne(report, targets.front(), request);
  if (!record.error().isEmpty())
    code = std::max(code, output.fail(kExitUsage, QStringLiteral("--log ") + record.error()));
  // Stopped by a signal: that first, and no plan that lacks devices.
  if (const int signal = console.interrupted ? console.interrupted() : 0) {
    if (keep)
      output.fail(kExitUsage, Tr(QT_TRANSLATE_NOOP("timer",
                                                   "--out %1: not kept: the run was "
                                                   "stopped by %2"))
                                  .arg(cli.value(cli.out), SignalName(signal)));
    return kExitBySignal + signal;
  }
  if (!keep) return code;
  if (planOnStdout) {
    console.out(QString::fromUtf8(plan));
    return code;
  }
  // Not kept: a script must not take the code of a plan for one it can apply.
  return planFile.write(plan, &error) ? code
                                      : output.fail(kExitUsage, QStringLiteral("--out ") + error);
}
