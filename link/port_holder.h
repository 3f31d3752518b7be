// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// Which other program holds a serial device: "minicom (pid 4242)", or an
// empty text when nothing says. First the UUCP lock file, which most terminal
// programs (and Qt) write, then the processes' open descriptors, where they
// can be read. This program's own process is never the holder.
struct PortHolderSources {
  QStringList lockDirs{QStringLiteral("/run/lock"), QStringLiteral("/var/lock")};
  QString proc = QStringLiteral("/proc");
};
QString PortHolder(const QString& devicePath, const PortHolderSources& sources = {});

// The group that owns a device node, which a user must be in to open it
// ("dialout"): its name, or its number when it has none; an empty text when
// the node cannot be read.
QString NodeGroup(const QString& devicePath);
