// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/options.h"

#include <QCommandLineParser>

Options ParseOptions(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Programs and fires a timer device on an RS-232 line (2400 baud, 8N1).\n"
      "The port list offers Com1 to Com16. They designate what --port and the [ports]\n"
      "group of ~/.config/timer-rs232/timer-rs232.conf say, --port first; without\n"
      "either, the serial ports of this system: ttyS by number, then ttyUSB, then\n"
      "ttyACM, then the rest."));
  const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                QStringLiteral("Shows this help and exits."));
  const QCommandLineOption version(QStringLiteral("version"),
                                   QStringLiteral("Shows the version and exits."));
  const QCommandLineOption port(
      QStringLiteral("port"),
      QStringLiteral("Makes Com N designate the device PATH (N from 1 to 16), e.g. "
                     "--port 1=/dev/ttyUSB0, or a serial device server's raw TCP port, e.g. "
                     "--port 3=tcp:10.0.0.5:4001. Repeatable."),
      QStringLiteral("N=PATH"));
  const QCommandLineOption trace(
      QStringLiteral("trace"),
      QStringLiteral("Writes every byte sent and received to FILE, one line each: milliseconds "
                     "since the start, tx or rx, the characters and their hex codes."),
      QStringLiteral("FILE"));
  parser.addOption(help);
  parser.addOption(version);
  parser.addOption(port);
  parser.addOption(trace);

  Options options;
  if (!parser.parse(arguments)) {
    options.exit = true;
    options.exitCode = 2;
    options.error = parser.errorText();
    return options;
  }
  if (!parser.positionalArguments().isEmpty()) {
    options.exit = true;
    options.exitCode = 2;
    options.error =
        QStringLiteral("unexpected argument: %1").arg(parser.positionalArguments().first());
    return options;
  }
  if (parser.isSet(help)) {
    options.exit = true;
    options.output = parser.helpText();
    return options;
  }
  if (parser.isSet(version)) {
    options.exit = true;
    options.output = QStringLiteral("timer-rs232 %1\n").arg(QStringLiteral(TIMER_VERSION));
    return options;
  }
  QString error;
  if (!ParsePortOptions(parser.values(port), &options.ports, &error)) {
    options.exit = true;
    options.exitCode = 2;
    options.error = QStringLiteral("--port ") + error;
    return options;
  }
  options.traceFile = parser.value(trace);
  return options;
}
