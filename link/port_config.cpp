// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_config.h"

#include <QFileInfo>
#include <QLoggingCategory>
#include <QSettings>

#include "base/settings.h"
#include "base/text.h"

namespace {
Q_LOGGING_CATEGORY(lcConfig, "timer.config")
}  // namespace

PortMap PortsOverConfiguration(const PortMap& given) {
  QStringList problems;
  PortMap ports = ReadPortConfig(SettingsFilePath(), &problems);
  for (const QString& problem : problems) qCWarning(lcConfig, "%s", qUtf8Printable(problem));
  ports.update(given);
  return ports;
}

PortMap ReadPortConfig(const QString& file, QStringList* problems) {
  PortMap map;
  if (!QFileInfo::exists(file)) return map;
  QSettings settings(file, QSettings::IniFormat);
  if (settings.status() != QSettings::NoError) {
    *problems
        << Tr(QT_TRANSLATE_NOOP("timer", "%1: cannot be read; no port is taken from it")).arg(file);
    return map;
  }
  settings.beginGroup(QStringLiteral("ports"));
  const QStringList keys = settings.childKeys();
  for (const QString& key : keys) {
    const QVariant value = settings.value(key);
    // An unquoted comma makes a list of the value; a path may hold one.
    const QString path = value.typeId() == QMetaType::QStringList
                             ? value.toStringList().join(QLatin1Char(','))
                             : value.toString();
    PortOption option;
    QString error;
    if (ParsePortOption(key + QLatin1Char('=') + path, &option, &error)) {
      map.set(option.number, option.path);
    } else {
      *problems << Tr(QT_TRANSLATE_NOOP("timer", "%1: [ports] %2; skipped")).arg(file, error);
    }
  }
  return map;
}
