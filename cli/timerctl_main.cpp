// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCoreApplication>

#include "cli/language.h"
#include "cli/timerctl.h"

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("timerctl"));
  qSetMessagePattern(QStringLiteral("%{appname}: %{message}"));
  SpeakPeoplesLanguage(app);
  return RunTimerctl(QCoreApplication::arguments());
}
