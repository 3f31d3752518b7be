// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/options.h"

#include <QCommandLineParser>
#include <QFile>
#include <QMap>

#include <utility>

#include "base/settings.h"
#include "base/text.h"
#include "cli/config_file.h"
#include "cli/inventory.h"
#include "link/port_config.h"
#include "link/port_map.h"

namespace {

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
  const QCommandLineOption ca{QStringLiteral("ca"), QString(), QStringLiteral("FILE")};
  const QCommandLineOption pin{QStringLiteral("pin"), QString(), QStringLiteral("SHA256")};
  const QCommandLineOption cert{QStringLiteral("cert"), QString(), QStringLiteral("FILE")};
  const QCommandLineOption key{QStringLiteral("key"), QString(), QStringLiteral("FILE")};
  QCommandLineParser parser;

  Cli() {
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    for (const QCommandLineOption* option : options()) parser.addOption(*option);
  }
  std::vector<const QCommandLineOption*> options() const {
    return {&help, &version, &port, &com,      &device, &all,     &json, &trace,
            &echo, &log,     &from, &noVerify, &mode,   &powerUp, &mono, &on,
            &off,  &plan,    &out,  &ca,       &pin,    &cert,    &key};
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
struct Asked {
  const Command* command = nullptr;
  QString inventory;
  bool keptPlan = false;  // apply --plan
};

std::optional<Stop> ReadCommand(const Cli& cli, Asked& asked) {
  const QStringList positional = cli.parser.positionalArguments();
  const QString name = positional.value(0);
  asked.command = CommandNamed(name);
  const bool inventory = asked.command && asked.command->input == Input::Inventory;
  const int files = inventory && !cli.isSet(cli.plan) ? 1 : 0;
  if (!asked.command || positional.size() != 1 + files)
    return Usage(Tr(QT_TRANSLATE_NOOP("timer",
                                      "expected one command: read, upload, fire, scan, "
                                      "plan FILE, apply FILE or apply --plan PLANFILE "
                                      "(see --help)")));
  asked.inventory = files ? positional.value(1) : cli.value(cli.plan);
  asked.keptPlan = inventory && !files;
  // What an unset variable in a script leaves: never a default in its place.
  if (files && asked.inventory.isEmpty())
    return Usage(Tr(QT_TRANSLATE_NOOP("timer", "%1: the name is empty")).arg(name));
  for (const QCommandLineOption* option :
       {&cli.plan, &cli.out, &cli.log, &cli.from, &cli.device, &cli.ca, &cli.cert, &cli.key}) {
    if (cli.parser.values(*option).contains(QString()))
      return Usage(Tr(QT_TRANSLATE_NOOP("timer", "%1: the name is empty"))
                       .arg(QStringLiteral("--") + option->names().first()));
  }
  const QStringList ownOptions = CommandOptions();
  for (const QString& option : ownOptions) {
    if (cli.parser.isSet(option) && !Takes(*asked.command, option))
      return Usage(Tr(QT_TRANSLATE_NOOP("timer", "--%1 does not go with %2")).arg(option, name));
  }
  return std::nullopt;
}

// What to upload: the file, then the options over it, all checked before any
// line is touched.
std::optional<Stop> ReadChanges(const Cli& cli, TimerConfig& changes) {
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

// Whom the run's device servers behind TLS are trusted as: --ca or --pin,
// --cert and --key.
TlsTrust RunTrust(const Cli& cli) {
  return {cli.value(cli.ca), cli.value(cli.pin), cli.value(cli.cert), cli.value(cli.key)};
}

// --port over the settings file's map, and the run's trust over the file's;
// `system`: without either, the system's serial ports.
std::optional<Stop> ReadPortMap(const Cli& cli, bool system, PortMap& map) {
  PortMap fromCommandLine;
  QString error;
  if (!ParsePortOptions(cli.parser.values(cli.port), &fromCommandLine, &error))
    return Usage(QStringLiteral("--port ") + error);
  fromCommandLine.trustForAll(RunTrust(cli));
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
        return Usage(Tr(QT_TRANSLATE_NOOP("timer",
                                          "--device %1: expected rfc2217://HOST:PORT, "
                                          "tcp:HOST:PORT, rfc2217+tls://HOST:PORT or "
                                          "tls:HOST:PORT"))
                         .arg(path));
      targets.push_back(DeviceTarget(path, RunTrust(cli)));
    }
  }
  return std::nullopt;
}

// Which devices: those given, or with --all (and a scan of nothing given)
// every Com number that designates one, or Com1.
std::optional<Stop> ResolveTargets(const Cli& cli, const Command& command,
                                   std::vector<Target>& targets, bool& everyDevice) {
  PortMap map;
  const bool byNumber = cli.isSet(cli.com) || cli.isSet(cli.all) || !cli.isSet(cli.device);
  if (cli.isSet(cli.port) || byNumber) {
    if (auto stop = ReadPortMap(cli, true, map)) return stop;
  }
  if (auto stop = GivenTargets(cli, map, targets)) return stop;
  if (auto stop = NamedOnce(targets)) return stop;
  everyDevice = cli.isSet(cli.all) || (command.everyDevice && targets.empty());
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
std::optional<Stop> InventoryOf(const Cli& cli, const Asked& asked, const Adapters& adapters,
                                std::vector<Target>& targets) {
  QString error;
  const QString& file = asked.inventory;
  const std::optional<QByteArray> text = ReadFile(file, &error);
  if (!text) return Usage(error);
  const std::optional<std::vector<InventoryEntry>> entries =
      ParseInventory(*text, file, asked.keptPlan, &error);
  if (!entries) return Usage(error);
  if (entries->empty())
    return Usage(Tr(QT_TRANSLATE_NOOP("timer", "%1: names no device")).arg(file));
  PortMap map;
  if (auto stop = ReadPortMap(cli, true, map)) return stop;
  std::optional<std::vector<Target>> found =
      InventoryTargets(*entries, map, RunTrust(cli), adapters, file, &error);
  if (!found) return Usage(error);
  targets = std::move(*found);
  return std::nullopt;
}

// Which devices, each with what it should hold.
std::optional<Stop> ReadTargets(const Cli& cli, const Asked& asked, Invocation& run) {
  const bool inventory = asked.command->input == Input::Inventory;
  bool everyDevice = false;
  TimerConfig changes;
  std::optional<Stop> stop = ReadChanges(cli, changes);
  if (!stop)
    stop = inventory ? InventoryOf(cli, asked, run.adapters, run.targets)
                     : ResolveTargets(cli, *asked.command, run.targets, everyDevice);
  if (stop) return stop;
  if (!inventory) {
    for (Target& target : run.targets) target.changes = changes;
  }
  run.lines = asked.command->lists || everyDevice || run.targets.size() > 1;
  return std::nullopt;
}

}  // namespace

std::variant<Invocation, Stop> ReadInvocation(const QStringList& arguments,
                                              const std::function<Adapters()>& adapters) {
  Cli cli;
  Invocation run;
  if (!cli.parser.parse(arguments)) return Stop{kExitUsage, cli.parser.errorText()};
  run.help = cli.isSet(cli.help);
  run.version = cli.isSet(cli.version);
  if (run.help || run.version) return run;
  Asked asked;
  if (auto stop = ReadCommand(cli, asked)) return *stop;
  run.command = asked.command;
  run.request.job = asked.command->job;
  run.request.verify = !cli.isSet(cli.noVerify);
  run.request.echo = cli.isSet(cli.echo);
  run.asJson = cli.isSet(cli.json);
  run.trace = cli.isSet(cli.trace);
  run.log = cli.value(cli.log);
  if (cli.isSet(cli.out)) run.out = cli.value(cli.out);
  // Asked once, and only when needed: a walk through the system's devices.
  if (asked.command->input == Input::Inventory || cli.isSet(cli.log) || run.asJson)
    run.adapters = adapters();
  if (auto stop = ReadTargets(cli, asked, run)) return *stop;
  return run;
}

QStringList OptionNames() {
  const Cli cli;
  QStringList names;
  for (const QCommandLineOption* option : cli.options()) names << option->names().last();
  return names;
}
