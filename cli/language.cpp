// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

QString MessagesLocale() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const QString value = qEnvironmentVariable(name);
    if (!value.isEmpty()) return value;
  }
  return {};
}

void SpeakPeoplesLanguage(QCoreApplication& app) {
  if (!MessagesLocale().startsWith(QLatin1String("es"))) return;
  auto* own = new QTranslator(&app);
  if (own->load(QStringLiteral(":/i18n/timerctl_es.qm"))) QCoreApplication::installTranslator(own);
  // The command-line parser's complaints are Qt's own.
  auto* qt = new QTranslator(&app);
  if (qt->load(QStringLiteral("qtbase_es"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(qt);
}
