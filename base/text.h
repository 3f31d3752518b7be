// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

// Where every translatable text of these programs is kept: mark a source with
// QT_TRANSLATE_NOOP("timer", "...") and translate it with Tr().
inline constexpr char kTextContext[] = "timer";

// `source` in the language of the translation loaded (English when none is,
// as in the window, which speaks its own words in every locale).
QString Tr(const char* source);

// Words for people that scripts read too: kept as their English source and
// arguments, so that JSON and the programming record say the same in every
// locale while a person reads them in theirs.
class Text {
 public:
  Text() = default;
  // Words as they come (the system's, a path, a number): never translated.
  // Implicit, so that any text can stand where words are wanted.
  Text(QString plain);
  // `source`, marked with QT_TRANSLATE_NOOP("timer", ...), with its %1, %2...
  // filled by `args`, each translated in turn.
  Text(const char* source, std::vector<Text> args);
  explicit Text(const char* source) : Text(source, {}) {}

  QString english() const { return render(false); }
  QString translated() const { return render(true); }
  bool isEmpty() const { return m_source == nullptr && m_plain.isEmpty(); }

 private:
  QString render(bool translate) const;

  const char* m_source = nullptr;
  QString m_plain;
  std::vector<Text> m_args;
};

QStringList EnglishOf(const QList<Text>& texts);
QStringList TranslatedOf(const QList<Text>& texts);
