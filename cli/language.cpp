// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/language.h"

#include <QCoreApplication>
#include <QTranslator>

#include <clocale>

namespace {

// The command-line parser's complaints, which are Qt's: translated here with
// timerctl's own words rather than with all of Qt's translations, which would
// also put the system's words (the reason a port failed) in Spanish, and those
// go into JSON.
[[maybe_unused]] constexpr const char* kParserTexts[] = {
    QT_TRANSLATE_NOOP("QCommandLineParser", "Unknown option '%1'."),
    QT_TRANSLATE_NOOP("QCommandLineParser", "Unknown options: %1."),
    QT_TRANSLATE_NOOP("QCommandLineParser", "Missing value after '%1'."),
    QT_TRANSLATE_NOOP("QCommandLineParser", "Unexpected value after '%1'."),
};

}  // namespace

QString MessagesLocale() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    QString value = qEnvironmentVariable(name);
    if (!value.isEmpty()) return value;
  }
  return {};
}

void SpeakPeoplesLanguage(QCoreApplication& app) {
  // The C library's words for a failed call go into JSON and the record as
  // they come: the same in every locale.
  std::setlocale(LC_MESSAGES, "C");
  if (!MessagesLocale().startsWith(QLatin1String("es"))) return;
  auto* spanish = new QTranslator(&app);
  if (spanish->load(QStringLiteral(":/i18n/timerctl_es.qm")))
    QCoreApplication::installTranslator(spanish);
}
