// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/settings.h"

#include <QStandardPaths>

QString SettingsFilePath() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         QStringLiteral("/timer-rs232/timer-rs232.conf");
}
