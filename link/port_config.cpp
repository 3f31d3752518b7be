// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_config.h"

#include <QFileInfo>
#include <QLoggingCategory>
#include <QSettings>

#include "base/settings.h"
#include "base/text.h"

namespace {

Q_LOGGING_CATEGORY(lcConfig, "timer.config")

// A value as written: an unquoted comma makes a list of it, and a path may
// hold one.
QString Written(const QVariant& value) {
  return value.typeId() == QMetaType::QStringList ? value.toStringList().join(QLatin1Char(','))
                                                  : value.toString();
}

void ReadPorts(QSettings& settings, const QString& file, PortMap& map, QStringList* problems) {
  settings.beginGroup(QStringLiteral("ports"));
  const QStringList keys = settings.childKeys();
  for (const QString& key : keys) {
    PortOption option;
    QString error;
    if (ParsePortOption(key + QLatin1Char('=') + Written(settings.value(key)), &option, &error)) {
      map.set(option.number, option.path);
    } else {
      *problems << Tr(QT_TRANSLATE_NOOP("timer", "%1: [ports] %2; skipped")).arg(file, error);
    }
  }
  settings.endGroup();
}

// [tls] N/ca, N/pin, N/cert, N/key: whom Com N's device server is trusted as.
void ReadTrust(QSettings& settings, const QString& file, PortMap& map, QStringList* problems) {
  settings.beginGroup(QStringLiteral("tls"));
  const QStringList keys = settings.allKeys();
  QMap<int, TlsTrust> trusts;  // each Com number's, in one piece
  for (const QString& key : keys) {
    bool ok = false;
    const int number = key.section(QLatin1Char('/'), 0, 0).toInt(&ok);
    const QString part = key.section(QLatin1Char('/'), 1);
    QString TlsTrust::*const slot = part == QLatin1String("ca")     ? &TlsTrust::caFile
                                    : part == QLatin1String("pin")  ? &TlsTrust::pin
                                    : part == QLatin1String("cert") ? &TlsTrust::certFile
                                    : part == QLatin1String("key")  ? &TlsTrust::keyFile
                                                                    : nullptr;
    if (!ok || number < 1 || number > kPortCount || !slot) {
      *problems << Tr(QT_TRANSLATE_NOOP("timer",
                                        "%1: [tls] %2: expected N/ca, N/pin, N/cert or N/key "
                                        "(N from 1 to 16); skipped"))
                       .arg(file, key);
      continue;
    }
    trusts[number].*slot = Written(settings.value(key));
  }
  for (auto it = trusts.begin(); it != trusts.end(); ++it) map.trustFor(it.key(), it.value());
  settings.endGroup();
}

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
  ReadPorts(settings, file, map, problems);
  ReadTrust(settings, file, map, problems);
  return map;
}
