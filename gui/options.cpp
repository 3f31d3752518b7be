// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/options.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QSettings>

#include <utility>

#include "base/settings.h"

namespace {

void DeclareOptions(QCommandLineParser& parser) {
  parser.setApplicationDescription(QStringLiteral(
      "Programs and fires a timer device on an RS-232 line (2400 baud, 8N1).\n"
      "The port list offers Com1 to Com16. They designate what --port and the [ports]\n"
      "group of ~/.config/timer-rs232/timer-rs232.conf say, --port first; without\n"
      "either, the serial ports of this system: ttyS by number, then ttyUSB, then\n"
      "ttyACM, then the rest."));
  parser.addOption({QStringList{QStringLiteral("h"), QStringLiteral("help")},
                    QStringLiteral("Shows this help and exits.")});
  parser.addOption({QStringLiteral("version"), QStringLiteral("Shows the version and exits.")});
  parser.addOption(
      {QStringLiteral("port"),
       QStringLiteral("Makes Com N designate the device PATH (N from 1 to 16), e.g. "
                      "--port 1=/dev/ttyUSB0, or a serial device server: "
                      "--port 3=rfc2217://10.0.0.5:4001 (the line is set from here) or "
                      "--port 3=tcp:10.0.0.5:4001 (raw TCP: the server sets it). Repeatable."),
       QStringLiteral("N=PATH")});
  parser.addOption(
      {QStringLiteral("trace"),
       QStringLiteral("Writes every byte sent and received to FILE, one line each: milliseconds "
                      "since the start, tx or rx, the characters and their hex codes."),
       QStringLiteral("FILE")});
  parser.addOption(
      {QStringLiteral("log"),
       QStringLiteral("Appends one JSON line to FILE for each link, upload, activation and line "
                      "lost: the programming record (default: [log] file= of the settings file, "
                      "~/.config/timer-rs232/timer-rs232.conf)."),
       QStringLiteral("FILE")});
}

// The program ends at once: with `output` on stdout and code 0.
Options Printing(const QString& output) {
  Options options;
  options.exit = true;
  options.output = output;
  return options;
}

// The program ends at once: with `error` on stderr and code 2.
Options Refusing(const QString& error, Options options = {}) {
  options.exit = true;
  options.exitCode = 2;
  options.error = error;
  return options;
}

}  // namespace

Options ParseOptions(const QStringList& arguments) {
  // Started as from the desktop menu: nothing to read, and no parser to build.
  if (arguments.size() <= 1) return {};
  QCommandLineParser parser;
  DeclareOptions(parser);
  if (!parser.parse(arguments)) return Refusing(parser.errorText());
  if (!parser.positionalArguments().isEmpty()) {
    return Refusing(
        QStringLiteral("unexpected argument: %1").arg(parser.positionalArguments().first()));
  }
  if (parser.isSet(QStringLiteral("help"))) return Printing(parser.helpText());
  if (parser.isSet(QStringLiteral("version"))) {
    return Printing(QStringLiteral("timer-rs232 %1\n").arg(QStringLiteral(TIMER_VERSION)));
  }
  Options options;
  QString error;
  if (!ParsePortOptions(parser.values(QStringLiteral("port")), &options.ports, &error)) {
    return Refusing(QStringLiteral("--port ") + error, std::move(options));
  }
  options.traceFile = parser.value(QStringLiteral("trace"));
  options.recordFile = parser.value(QStringLiteral("log"));
  return options;
}

QString RecordFileSetting() {
  const QString file = SettingsFilePath();
  if (!QFileInfo::exists(file)) return {};
  return QSettings(file, QSettings::IniFormat).value(QStringLiteral("log/file")).toString();
}
