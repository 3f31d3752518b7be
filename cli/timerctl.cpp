// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/timerctl.h"

#include <QCommandLineParser>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <mutex>
#include <optional>
#include <utility>

#include <unistd.h>

#include "cli/config_file.h"
#include "cli/programmer.h"
#include "device/record.h"
#include "link/port_config.h"
#include "link/port_map.h"

namespace {

// Whole, so that a translation can lay it out as its language needs.
const char* const kHelpText = QT_TRANSLATE_NOOP("timer",
                                                R"help(Usage: timerctl [OPTIONS] COMMAND

Reads, programs and fires timer devices on RS-232 lines (2400 baud, 8N1), with
the same port map, commands and answers as the timer-rs232 window.

Commands:
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

Devices:
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
  "...: port unavailable (REASON)", "...: verification failed (...)".

Output:
  --json                One JSON object per device.
  --trace               Every byte sent and received, on standard error:
                        milliseconds since the start, tx or rx, the characters
                        (others as \xNN) and their hex codes.
  --log FILE            Appends one JSON line per device and operation to FILE,
                        the programming record: the time, the operation, the
                        port and its adapter, what was sent and read back, the
                        result and the exit code.
  -h, --help            Shows this help.
  --version             Shows the version.

Exit status:
  0  success (scan: a timer answered)
  1  the device did not answer ("The device is not found"), or the line
     echoes what is sent; scan: no timer
  2  bad usage, a bad configuration file, or a value out of range
  3  the port is not available (the reason follows)
  4  the device acknowledged an upload but reads back something else
  With several devices, the largest code among them.
)help");

constexpr int kExitNoTimerFound = kExitNoAnswer;

void Print(FILE* stream, const QString& text) {
  std::fputs((text + QLatin1Char('\n')).toLocal8Bit().constData(), stream);
}

int Fail(int code, const QString& message) {
  Print(stderr, QStringLiteral("timerctl: ") + message);
  return code;
}

// "mono 01:30:15, on 00:00:10, off 00:02:00, power-up off"
QString Summary(const TimerConfig& c) {
  return Tr(QT_TRANSLATE_NOOP("timer", "mono %1, on %2, off %3, power-up %4"))
      .arg(c.mono->text(), c.on->text(), c.off->text(), PowerUpWord(*c.powerUpOn));
}

// The text form of a read: one line per time, then the power-up state.
void PrintConfiguration(const TimerConfig& c) {
  Print(stdout, Tr(QT_TRANSLATE_NOOP("timer", "mono: %1")).arg(c.mono->text()));
  Print(stdout, Tr(QT_TRANSLATE_NOOP("timer", "on  : %1")).arg(c.on->text()));
  Print(stdout, Tr(QT_TRANSLATE_NOOP("timer", "off : %1")).arg(c.off->text()));
  Print(stdout, Tr(QT_TRANSLATE_NOOP("timer", "power-up: %1")).arg(PowerUpWord(*c.powerUpOn)));
}

// A script's word for how a device ended.
QString ResultOf(const DeviceResult& r, bool scan) {
  return scan && r.code() == kExitOk ? QStringLiteral("timer") : ResultWord(r).english();
}

QString Line(const Target& target, const DeviceResult& r, bool scan) {
  QString line = target.label + QStringLiteral(": ");
  if (scan && r.code() == kExitOk)
    return line + Tr(QT_TRANSLATE_NOOP("timer", "timer (%1)")).arg(Summary(*r.configuration));
  line += ResultWord(r).translated();
  if (!r.reason.isEmpty()) line += QStringLiteral(" (") + r.reason.translated() + QLatin1Char(')');
  if (!r.differences.isEmpty())
    line += QStringLiteral(" (") + TranslatedOf(r.differences).join(QStringLiteral("; ")) +
            QLatin1Char(')');
  if (r.code() == kExitOk && r.configuration)
    line += QStringLiteral(" (") + Summary(*r.configuration) + QLatin1Char(')');
  return line;
}

QJsonObject JsonLine(const Target& target, const DeviceResult& r, bool scan) {
  QJsonObject object;
  object.insert(QStringLiteral("port"), target.label);
  object.insert(QStringLiteral("result"), ResultOf(r, scan));
  if (!r.reason.isEmpty()) object.insert(QStringLiteral("reason"), r.reason.english());
  if (r.configuration) object.insert(QStringLiteral("configuration"), ToJson(*r.configuration));
  if (!r.differences.isEmpty())
    object.insert(QStringLiteral("differences"),
                  QJsonArray::fromStringList(EnglishOf(r.differences)));
  return object;
}

// What one device's run says, as the window would have said it, in the
// reader's language: that the device or the port failed (with why), or why
// else the run failed, then the differences a verification found.
void PrintFailures(const DeviceResult& r) {
  QStringList lines;
  const QString reason = r.reason.translated();
  switch (r.end) {
    case End::NoAnswer:
      lines << Tr(QT_TRANSLATE_NOOP("timer", "The device is not found"));
      break;
    case End::PortUnavailable:
    case End::PortClosed:
    case End::Unloaded:
      lines << Tr(QT_TRANSLATE_NOOP("timer", "The port is not available")) +
                   (reason.isEmpty() ? QString()
                                     : QStringLiteral(" (") + reason + QLatin1Char(')'));
      break;
    case End::Answered:
    case End::Echo:
      if (!reason.isEmpty()) lines << reason;
      break;
  }
  lines += TranslatedOf(r.differences);
  for (const QString& line : lines) Print(stderr, line);
}

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
  QCommandLineParser parser;

  Cli() {
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    parser.addOptions({help, version, port, com, device, all, json, trace, echo, log, from,
                       noVerify, mode, powerUp, mono, on, off});
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

// What to upload: the file, then the options over it, all checked before any
// line is touched.
std::optional<Stop> ReadChanges(const Cli& cli, bool upload, Request& request) {
  request.verify = !cli.isSet(cli.noVerify);
  request.echo = cli.isSet(cli.echo);
  for (const QCommandLineOption* option :
       {&cli.from, &cli.mode, &cli.powerUp, &cli.mono, &cli.on, &cli.off, &cli.noVerify}) {
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
    request.changes = *file;
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
  request.changes.update(given);
  return std::nullopt;
}

// Com N as the port map says, labelled "Com2 /dev/ttyUSB1".
Target ByCom(const PortMap& map, qint16 number) {
  const QString path = map.path(number);
  return Target{path.isEmpty() ? PortEntry(number) : PortEntry(number) + QLatin1Char(' ') + path,
                map, number};
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
      targets.push_back(ByCom(map, static_cast<qint16>(number)));
    } else if (name == QLatin1String("device")) {
      const QString path = cli.parser.values(cli.device).value(deviceIndex++);
      if (IsNetworkPath(path) && !ParseNetworkPath(path))
        return Usage(Tr(QT_TRANSLATE_NOOP(
                            "timer", "--device %1: expected rfc2217://HOST:PORT or tcp:HOST:PORT"))
                         .arg(path));
      targets.push_back({path, PortMap::Direct(path), 1, false});
    }
  }
  return std::nullopt;
}

// Which devices: those given, or with --all (and a scan of nothing given)
// every Com number that designates one, or Com1.
std::optional<Stop> ResolveTargets(const Cli& cli, bool scan, std::vector<Target>& targets,
                                   bool& everyDevice) {
  PortMap map;
  const bool byNumber = cli.isSet(cli.com) || cli.isSet(cli.all) || !cli.isSet(cli.device);
  if (cli.isSet(cli.port) || byNumber) {
    PortMap fromCommandLine;
    QString error;
    if (!ParsePortOptions(cli.parser.values(cli.port), &fromCommandLine, &error))
      return Usage(QStringLiteral("--port ") + error);
    map = PortsOverConfiguration(fromCommandLine);
    if (map.isEmpty()) map = PortMap::FromSystem();
  }
  if (auto stop = GivenTargets(cli, map, targets)) return stop;
  everyDevice = cli.isSet(cli.all) || (scan && targets.empty());
  if (everyDevice) {
    if (!targets.empty())
      return Usage(Tr(QT_TRANSLATE_NOOP("timer", "--all goes without --com and --device")));
    for (int n = 1; n <= kPortCount; ++n) {
      if (!map.path(n).isEmpty()) targets.push_back(ByCom(map, static_cast<qint16>(n)));
    }
    if (targets.empty())
      return Stop{kExitPortUnavailable,
                  Tr(QT_TRANSLATE_NOOP("timer", "no port designates a device"))};
  }
  if (targets.empty()) targets.push_back(ByCom(map, 1));
  return std::nullopt;
}

// One line of the programming record: what was done to which device, and how it ended.
QJsonObject RecordEntry(const QString& operation, const Target& target, const DeviceResult& r) {
  const QString path = target.ports.path(target.number);
  QJsonObject entry{{QStringLiteral("operation"), operation},
                    {QStringLiteral("path"), path},
                    {QStringLiteral("result"), ResultOf(r, operation == QLatin1String("scan"))},
                    {QStringLiteral("exit_code"), r.code()}};
  if (target.byCom) entry.insert(QStringLiteral("com"), target.number);
  const QJsonObject adapter = AdapterOf(path);
  if (!adapter.isEmpty()) entry.insert(QStringLiteral("adapter"), adapter);
  if (r.sent) entry.insert(QStringLiteral("sent"), ToJson(*r.sent));
  if (r.readBack) entry.insert(QStringLiteral("read_back"), ToJson(*r.readBack));
  if (!r.reason.isEmpty()) entry.insert(QStringLiteral("reason"), r.reason.english());
  if (!r.differences.isEmpty())
    entry.insert(QStringLiteral("differences"),
                 QJsonArray::fromStringList(EnglishOf(r.differences)));
  return entry;
}

// Writes each device's line of the record as soon as its result is known,
// before it is reported; keeps the first failure to write.
class Recorder {
 public:
  explicit Recorder(QString operation) : m_operation(std::move(operation)) {}
  bool open(const QString& path) { return m_record.open(path, &m_error); }
  QString error() const { return m_error; }
  DeviceDone done() {
    if (!m_record.isOpen()) return {};
    return [this](const Target& target, const DeviceResult& r) {
      QString error;
      if (m_record.append(RecordEntry(m_operation, target, r), &error)) return;
      const std::lock_guard<std::mutex> lock(m_lock);
      if (m_error.isEmpty()) m_error = error;
    };
  }

 private:
  QString m_operation;
  Record m_record{QStringLiteral("timerctl"), QStringLiteral(TIMER_VERSION)};
  std::mutex m_lock;
  QString m_error;
};

QString Compact(const QJsonObject& object) {
  return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

// One device, as a person reads it: its configuration, or what went wrong.
// With --json, a read's configuration as a file holds it, and any other end
// as a fleet's line says it.
int RunOne(const Target& target, const Request& request, bool asJson, const DeviceDone& done) {
  const DeviceResult r = RunOnDevice(target, request, RealLines(request), done);
  PrintFailures(r);
  const bool readBack = r.code() == kExitOk && r.configuration;
  if (asJson && readBack) {
    QJsonObject object = ToJson(*r.configuration);
    object.insert(QStringLiteral("well_formed"), WellFormed(*r.configuration));
    Print(stdout, Compact(object));
  } else if (asJson) {
    Print(stdout, Compact(JsonLine(target, r, false)));
  } else if (readBack) {
    PrintConfiguration(*r.configuration);
  }
  return r.code();
}

// Many at once, one line each in the order given; the largest code counts.
int RunMany(const std::vector<Target>& targets, const Request& request, bool scan, bool asJson,
            std::mutex& stderrLock, const DeviceDone& recorded) {
  // Progress only where someone watches it.
  const bool terminal = ::isatty(STDERR_FILENO) != 0;
  const int total = static_cast<int>(targets.size());
  const std::vector<DeviceResult> results = RunOnDevices(
      targets, request, RealLines(request),
      [&](int done) {
        if (!terminal) return;
        const std::lock_guard<std::mutex> lock(stderrLock);
        std::fprintf(stderr, "\r%d/%d%s", done, total, done == total ? "\r\033[K" : "");
        std::fflush(stderr);
      },
      recorded);
  int code = kExitOk;
  bool timerFound = false;
  for (std::size_t i = 0; i < results.size(); ++i) {
    const DeviceResult& r = results[i];
    code = std::max(code, r.code());
    timerFound = timerFound || r.code() == kExitOk;
    Print(stdout, asJson ? Compact(JsonLine(targets[i], r, scan)) : Line(targets[i], r, scan));
  }
  if (scan) return timerFound ? kExitOk : kExitNoTimerFound;
  return code;
}

}  // namespace

int RunTimerctl(const QStringList& arguments) {
  Cli cli;
  if (!cli.parser.parse(arguments)) return Fail(kExitUsage, cli.parser.errorText());
  if (cli.isSet(cli.help)) {
    std::fputs(Tr(kHelpText).toLocal8Bit().constData(), stdout);
    return kExitOk;
  }
  if (cli.isSet(cli.version)) {
    Print(stdout, QStringLiteral("timerctl %1").arg(QStringLiteral(TIMER_VERSION)));
    return kExitOk;
  }
  const QStringList positional = cli.parser.positionalArguments();
  const QString command = positional.value(0);
  if (positional.size() != 1 || !QStringList{"read", "upload", "fire", "scan"}.contains(command))
    return Fail(kExitUsage,
                Tr(QT_TRANSLATE_NOOP(
                    "timer", "expected one command: read, upload, fire or scan (see --help)")));
  const bool scan = command == QLatin1String("scan");
  const bool upload = command == QLatin1String("upload");

  Request request;
  request.job = upload ? Job::Upload : command == QLatin1String("fire") ? Job::Fire : Job::Read;
  std::vector<Target> targets;
  bool everyDevice = false;
  std::optional<Stop> stop = ReadChanges(cli, upload, request);
  if (!stop) stop = ResolveTargets(cli, scan, targets, everyDevice);
  if (stop) return Fail(stop->code, stop->message);

  const bool lines = scan || everyDevice || targets.size() > 1;
  std::mutex stderrLock;
  if (cli.isSet(cli.trace)) {
    request.trace = [&stderrLock, lines](const QString& label, const QString& text) {
      const std::lock_guard<std::mutex> lock(stderrLock);
      Print(stderr, lines ? label + QStringLiteral(": ") + text : text);
    };
  }
  const bool asJson = cli.isSet(cli.json);

  // The record is opened before any port is.
  Recorder recorder(command);
  if (cli.isSet(cli.log) && !recorder.open(cli.value(cli.log)))
    return Fail(kExitUsage, QStringLiteral("--log ") + recorder.error());
  const int code = lines ? RunMany(targets, request, scan, asJson, stderrLock, recorder.done())
                         : RunOne(targets.front(), request, asJson, recorder.done());
  if (recorder.error().isEmpty()) return code;
  return std::max(code, Fail(kExitUsage, QStringLiteral("--log ") + recorder.error()));
}
