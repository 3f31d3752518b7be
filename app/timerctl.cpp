#include "app/timerctl.h"

#include <QCommandLineParser>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <optional>

#include "app/headless_view.h"
#include "app/port_config.h"
#include "handlers/activation.h"
#include "handlers/connect.h"
#include "handlers/field_check.h"
#include "handlers/form.h"
#include "handlers/port_selection.h"
#include "handlers/upload.h"
#include "link/com_port.h"
#include "link/event_loop_clock.h"
#include "link/port_map.h"
#include "model/form1.h"
#include "model/protocol.h"
#include "model/texts.h"

namespace {

constexpr char kHelpText[] =
    R"(Usage: timerctl [--port N=PATH]... [--com N | --device PATH] COMMAND [OPTIONS]

Reads, programs and fires a timer device on an RS-232 line (2400 baud, 8N1),
with the same port map, commands and answers as the timer-rs232 window.

Commands:
  read                  Links (probe "Y") and prints the device's configuration:
                        the monostable, ON and OFF times as HH:MM:SS and the
                        power-up state. With --json, as one JSON object.
  upload                Links, takes the read-back as the starting point, changes
                        what is given, and sends the configuration:
                          --mode mono|bi        (default mono)
                          --mono HH:MM:SS       monostable time
                          --on HH:MM:SS         bistable ON time
                          --off HH:MM:SS        bistable OFF time
                          --power-up on|off     state at power-up
                        Hours 00-99, minutes and seconds 00-59, two digits each.
                        A read-back that is not a well-formed configuration is
                        refused unless all of --mono, --on, --off and --power-up
                        are given.
  fire                  Links and fires the timer ("E").

Port:
  --port N=PATH         Makes Com N designate the device PATH (N from 1 to 16),
                        or with N=tcp:HOST:PORT the raw TCP port of a serial
                        device server. Repeatable, and over the [ports] group of
                        ~/.config/timer-rs232/timer-rs232.conf. Without either,
                        the system's serial ports: ttyS by number, then ttyUSB,
                        then ttyACM, then the rest.
  --com N               The Com number to use (default 1).
  --device PATH         Uses the device PATH (or tcp:HOST:PORT) directly.

Exit status:
  0  success
  1  the device did not answer ("El dispositivo no se encuentra")
  2  bad usage, or a value out of range (the field's range message)
  3  the port is not available ("El puerto no esta disponible"; the reason follows)
)";

struct Time {
  QString hours, minutes, seconds;
};

// Fields in device order: seconds, minutes, hours.
struct Group {
  const char* option;
  Ctl seconds, minutes, hours;
};
constexpr Group kGroups[] = {
    {"mono", Ctl::segundos, Ctl::minutos, Ctl::horas},
    {"on", Ctl::segundos_on, Ctl::minutos_on, Ctl::horas_on},
    {"off", Ctl::segundos_off, Ctl::minutos_off, Ctl::horas_off},
};

void Print(FILE* stream, const QString& text) {
  std::fputs(text.toLocal8Bit().constData(), stream);
  std::fputc('\n', stream);
}

int Fail(int code, const QString& message) {
  Print(stderr, QStringLiteral("timerctl: ") + message);
  return code;
}

// "HH:MM:SS" with two digits each; the ranges are checked as the window does.
std::optional<Time> ParseTime(const QString& text, QString* error) {
  const QStringList parts = text.split(QLatin1Char(':'));
  if (parts.size() != 3 || parts[0].size() != 2 || parts[1].size() != 2 || parts[2].size() != 2) {
    *error = QStringLiteral("expected HH:MM:SS, got \"%1\"").arg(text);
    return std::nullopt;
  }
  const Time time{parts[0], parts[1], parts[2]};
  if (!Accepts(FieldKind::Hours, time.hours)) {
    *error = QString::fromUtf8(RangeMessage(FieldKind::Hours).prompt);
  } else if (!Accepts(FieldKind::MinutesSeconds, time.minutes) ||
             !Accepts(FieldKind::MinutesSeconds, time.seconds)) {
    *error = QString::fromUtf8(RangeMessage(FieldKind::MinutesSeconds).prompt);
  } else {
    return time;
  }
  return std::nullopt;
}

int ExitCode(Result result) {
  switch (result) {
    case Result::Done:
      return kExitOk;
    case Result::Refused:
      return kExitUsage;
    case Result::PortUnavailable:
      return kExitPortUnavailable;
    case Result::NoAnswer:
    case Result::PortClosed:
    case Result::Unloaded:
    case Result::Busy:
      break;
  }
  return kExitNoAnswer;
}

// Writes the failures the handlers showed to stderr, as the window shows
// them, the port's reason after the last; returns the outcome's exit code.
int Finish(HeadlessView& view, const Outcome& outcome) {
  QStringList failures;
  for (const HeadlessView::Shown& shown : view.takeMessages()) {
    if (shown.icon == MsgIcon::Error) failures << shown.prompt;
  }
  if (outcome.result == Result::PortUnavailable && !outcome.reason.isEmpty() &&
      !failures.isEmpty()) {
    failures.last() += QStringLiteral(" (") + outcome.reason + QLatin1Char(')');
  }
  for (const QString& failure : failures) Print(stderr, failure);
  return ExitCode(outcome.result);
}

bool WellFormed(const HeadlessView& view) {
  for (Ctl field : kDeviceFieldOrder) {
    const QString text = view.text(field);
    if (text.size() != 2 || !Accepts(KindOf(field), text)) return false;
  }
  return true;
}

QString TimeOf(const HeadlessView& view, const Group& g) {
  return view.text(g.hours) + QLatin1Char(':') + view.text(g.minutes) + QLatin1Char(':') +
         view.text(g.seconds);
}

}  // namespace

int RunTimerctl(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
  const QCommandLineOption version(QStringLiteral("version"), QString());
  const QCommandLineOption port(QStringLiteral("port"), QString(), QStringLiteral("N=PATH"));
  const QCommandLineOption com(QStringLiteral("com"), QString(), QStringLiteral("N"));
  const QCommandLineOption device(QStringLiteral("device"), QString(), QStringLiteral("PATH"));
  const QCommandLineOption json(QStringLiteral("json"), QString());
  const QCommandLineOption mode(QStringLiteral("mode"), QString(), QStringLiteral("mono|bi"));
  const QCommandLineOption powerUp(QStringLiteral("power-up"), QString(), QStringLiteral("on|off"));
  parser.addOptions({help, version, port, com, device, json, mode, powerUp});
  for (const Group& g : kGroups) {
    parser.addOption(
        QCommandLineOption(QString::fromLatin1(g.option), QString(), QStringLiteral("HH:MM:SS")));
  }

  if (!parser.parse(arguments)) return Fail(kExitUsage, parser.errorText());
  if (parser.isSet(help)) {
    std::fputs(kHelpText, stdout);
    return kExitOk;
  }
  if (parser.isSet(version)) {
    Print(stdout, QStringLiteral("timerctl %1").arg(QStringLiteral(TIMER_VERSION)));
    return kExitOk;
  }
  const QStringList positional = parser.positionalArguments();
  const QString command = positional.value(0);
  if (positional.size() != 1 || !QStringList{"read", "upload", "fire"}.contains(command))
    return Fail(kExitUsage,
                QStringLiteral("expected one command: read, upload or fire (see --help)"));

  // Which device: --device, or --com N under the port map.
  PortMap map;
  qint16 number = 1;
  if (parser.isSet(device)) {
    if (parser.isSet(com) || parser.isSet(port))
      return Fail(kExitUsage, QStringLiteral("--device goes without --com and --port"));
    const QString path = parser.value(device);
    if (IsNetworkPath(path) && !ParseNetworkPath(path))
      return Fail(kExitUsage, QStringLiteral("--device %1: expected tcp:HOST:PORT").arg(path));
    map.set(1, path);
  } else {
    PortMap given;
    for (const QString& value : parser.values(port)) {
      PortOption option;
      QString error;
      if (!ParsePortOption(value, &option, &error))
        return Fail(kExitUsage, QStringLiteral("--port ") + error);
      given.set(option.number, option.path);
    }
    map = PortsOverConfiguration(given);
    if (map.isEmpty()) map = PortMap::FromSystem();
    if (parser.isSet(com)) {
      bool ok = false;
      number = static_cast<qint16>(parser.value(com).toInt(&ok));
      if (!ok || number < 1 || number > kPortCount)
        return Fail(kExitUsage,
                    QStringLiteral("--com takes a number from 1 to %1").arg(kPortCount));
    }
  }

  // Upload values, all checked before the line is touched.
  std::optional<Time> times[3];
  for (int i = 0; i < 3; ++i) {
    const QString name = QString::fromLatin1(kGroups[i].option);
    if (!parser.isSet(name)) continue;
    if (command != QLatin1String("upload"))
      return Fail(kExitUsage, QStringLiteral("--%1 goes with upload").arg(name));
    QString error;
    times[i] = ParseTime(parser.value(name), &error);
    if (!times[i]) return Fail(kExitUsage, QStringLiteral("--%1: %2").arg(name, error));
  }
  const QString modeValue = parser.value(mode);
  if (parser.isSet(mode) && modeValue != QLatin1String("mono") && modeValue != QLatin1String("bi"))
    return Fail(kExitUsage, QStringLiteral("--mode takes mono or bi"));
  const QString powerValue = parser.value(powerUp);
  if (parser.isSet(powerUp) && powerValue != QLatin1String("on") &&
      powerValue != QLatin1String("off"))
    return Fail(kExitUsage, QStringLiteral("--power-up takes on or off"));
  if ((parser.isSet(mode) || parser.isSet(powerUp)) && command != QLatin1String("upload"))
    return Fail(kExitUsage, QStringLiteral("--mode and --power-up go with upload"));

  HeadlessView view;
  ComPort serial(map);
  EventLoopClock clock;
  Form1 form(view, serial, clock);
  Form_Load(form);
  view.setListIndex(Ctl::Combo1, number - 1);
  Combo1_Click(form);

  if (const int code = Finish(view, Conectar_Click(form)); code != kExitOk) return code;

  if (command == QLatin1String("read")) {
    const bool on = view.value(Ctl::Option3);
    if (parser.isSet(json)) {
      QJsonObject object;
      for (const Group& g : kGroups) object.insert(QLatin1String(g.option), TimeOf(view, g));
      object.insert(QStringLiteral("power_up"), on ? QStringLiteral("on") : QStringLiteral("off"));
      object.insert(QStringLiteral("well_formed"), WellFormed(view));
      Print(stdout, QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
    } else {
      for (const Group& g : kGroups)
        Print(stdout,
              QStringLiteral("%1: %2").arg(QLatin1String(g.option), -4).arg(TimeOf(view, g)));
      Print(stdout, QStringLiteral("power-up: %1").arg(on ? "on" : "off"));
    }
    Conectar_Click(form);
    return kExitOk;
  }

  if (command == QLatin1String("fire")) {
    const int code = Finish(view, fire_Click(form));
    if (form.Conecta == 0) Conectar_Click(form);
    return code;
  }

  const bool everything = times[0] && times[1] && times[2] && parser.isSet(powerUp);
  if (!everything && !WellFormed(view)) {
    Conectar_Click(form);
    return Fail(kExitUsage,
                QStringLiteral("the device's read-back is not a well-formed configuration; give "
                               "--mono, --on, --off and --power-up"));
  }
  for (int i = 0; i < 3; ++i) {
    if (!times[i]) continue;
    view.setText(kGroups[i].hours, times[i]->hours);
    view.setText(kGroups[i].minutes, times[i]->minutes);
    view.setText(kGroups[i].seconds, times[i]->seconds);
  }
  const bool bistable = modeValue == QLatin1String("bi");
  view.setValue(Ctl::Option1, !bistable);
  view.setValue(Ctl::Option2, bistable);
  if (parser.isSet(powerUp)) {
    view.setValue(Ctl::Option3, powerValue == QLatin1String("on"));
    view.setValue(Ctl::Option4, powerValue != QLatin1String("on"));
  }
  const int code = Finish(view, enviar_Click(form));
  if (form.Conecta == 0) Conectar_Click(form);
  return code;
}
