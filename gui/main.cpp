// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QFile>

#include <cstdio>

#include "gui/font_warmup.h"
#include "gui/options.h"
#include "gui/program.h"

int main(int argc, char* argv[]) {
  Options options;
  // Help and version need no display, so the options are read first; started
  // as from the desktop menu, there is nothing to read.
  if (argc > 1) {
    QCoreApplication reader(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("timer-rs232"));
    options = ParseOptions(QCoreApplication::arguments());
  }
  if (options.exit) {
    if (!options.output.isEmpty()) std::fputs(qPrintable(options.output), stdout);
    if (!options.error.isEmpty())
      std::fprintf(stderr, "timer-rs232: %s\n", qPrintable(options.error));
    return options.exitCode;
  }

#ifdef Q_OS_LINUX
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
      qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    std::fputs("timer-rs232: no display to show the window on (DISPLAY is not set)\n", stderr);
    return 1;
  }
#endif

  FontConfigWarmUp fonts;
  QApplication app(argc, argv);
  fonts.finish();
  SetApplicationInfo();
  // Reasons read "timer-rs232: cannot open ...", as a command-line program's do.
  qSetMessagePattern(QStringLiteral("%{appname}: %{message}"));
  QFile trace(options.traceFile);
  if (!options.traceFile.isEmpty() &&
      !trace.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
    std::fprintf(stderr, "timer-rs232: --trace %s: %s\n", qPrintable(options.traceFile),
                 qPrintable(trace.errorString()));
    return 2;
  }
  Program program(options, options.traceFile.isEmpty() ? nullptr : &trace);
  program.Start();
  return QApplication::exec();
}
