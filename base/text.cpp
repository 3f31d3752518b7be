// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/text.h"

#include <QCoreApplication>

#include <utility>

QString Tr(const char* source) {
  return QCoreApplication::translate(kTextContext, source);
}

Text::Text(QString plain) : m_plain(std::move(plain)) {}

Text::Text(const char* source, std::vector<Text> args)
    : m_source(source), m_args(std::move(args)) {}

// In one pass, so that an argument holding "%1" (a path, the device's bytes)
// is left as it is.
QString Text::render(bool translate) const {
  if (m_source == nullptr) return m_plain;
  const QString pattern = translate ? Tr(m_source) : QString::fromUtf8(m_source);
  QString out;
  for (qsizetype i = 0; i < pattern.size(); ++i) {
    const qsizetype n = i + 1 < pattern.size() ? pattern[i + 1].digitValue() : -1;
    if (pattern[i] == QLatin1Char('%') && n >= 1 && n <= static_cast<qsizetype>(m_args.size())) {
      out += m_args[static_cast<std::size_t>(n - 1)].render(translate);
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

QStringList EnglishOf(const QList<Text>& texts) {
  QStringList out;
  for (const Text& text : texts) out << text.english();
  return out;
}

QStringList TranslatedOf(const QList<Text>& texts) {
  QStringList out;
  for (const Text& text : texts) out << text.translated();
  return out;
}
