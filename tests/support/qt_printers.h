// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Readable failure messages for Qt's string types.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
  *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QByteArray& b, std::ostream* os) {
  *os << '"' << b.toStdString() << '"';
}
inline void PrintTo(const QStringList& l, std::ostream* os) {
  *os << "{";
  for (const QString& s : l) *os << "\n  \"" << s.toStdString() << '"';
  *os << "\n}";
}
