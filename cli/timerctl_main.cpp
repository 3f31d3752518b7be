// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCoreApplication>

#include <unistd.h>

#include "cli/fleet.h"
#include "cli/interruption.h"
#include "cli/language.h"
#include "cli/timerctl.h"

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("timerctl"));
  // On a terminal a warning first clears a fleet's progress, which ends no line.
  const bool terminal = ::isatty(STDERR_FILENO) != 0;
  qSetMessagePattern(
      QStringLiteral("%1%{appname}: %{message}").arg(QLatin1String(terminal ? "\r\033[K" : "")));
  SpeakPeoplesLanguage(app);
  CatchStopSignals();
  // A fleet is served as widely as the system lets it.
  RaiseDescriptorLimit();
  return RunTimerctl(QCoreApplication::arguments());
}
