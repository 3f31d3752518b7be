// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/whole_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

bool WholeFile::open(QString* error) {
  const QFileInfo info(m_name);
  if (info.exists() && !info.isFile()) {
    // Nothing to rename over; unbuffered, so that every failure shows at once.
    m_file = std::make_unique<QFile>(m_name);
    return m_file->open(QIODevice::WriteOnly | QIODevice::Unbuffered) || failed(error);
  }
  m_file = std::make_unique<QSaveFile>(m_name);
  return m_file->open(QIODevice::WriteOnly) || failed(error);
}

bool WholeFile::write(const QByteArray& text, QString* error) {
  if (m_file->write(text) != text.size()) return failed(error);
  auto* saved = qobject_cast<QSaveFile*>(m_file.get());
  return !saved || saved->commit() || failed(error);
}

bool WholeFile::failed(QString* error) const {
  *error = QStringLiteral("%1: %2").arg(m_name, m_file->errorString());
  return false;
}
