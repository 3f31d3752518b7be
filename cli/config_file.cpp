// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/config_file.h"

#include <QJsonDocument>
#include <QStringList>

#include "base/text.h"

namespace {

// One of two words, as a flag; the key's name goes into the complaint.
std::optional<bool> ParseChoice(const QJsonValue& value, const char* yes, const char* no,
                                const QString& where, QString* error) {
  if (value.isString() && value.toString() == QLatin1String(yes)) return true;
  if (value.isString() && value.toString() == QLatin1String(no)) return false;
  *error = Tr(QT_TRANSLATE_NOOP("timer", "%1: takes \"%2\" or \"%3\""))
               .arg(where, QLatin1String(yes), QLatin1String(no));
  return std::nullopt;
}

}  // namespace

std::optional<TimerConfig> ParseTimerConfig(const QByteArray& json, const QString& source,
                                            QString* error) {
  QJsonParseError parse{};
  const QJsonDocument document = QJsonDocument::fromJson(json, &parse);
  if (parse.error != QJsonParseError::NoError) {
    *error = Tr(QT_TRANSLATE_NOOP("timer", "%1: not JSON: %2 at character %3"))
                 .arg(source, parse.errorString())
                 .arg(parse.offset);
    return std::nullopt;
  }
  if (!document.isObject()) {
    *error = Tr(QT_TRANSLATE_NOOP("timer", "%1: expected one JSON object")).arg(source);
    return std::nullopt;
  }
  TimerConfig config;
  const QJsonObject object = document.object();
  for (auto it = object.begin(); it != object.end(); ++it) {
    const QString key = it.key();
    const QString where = QStringLiteral("%1: \"%2\"").arg(source, key);
    const QJsonValue value = it.value();
    if (key == QLatin1String("mono") || key == QLatin1String("on") || key == QLatin1String("off")) {
      if (!value.isString()) {
        *error = Tr(QT_TRANSLATE_NOOP("timer", "%1: expected a text \"HH:MM:SS\"")).arg(where);
        return std::nullopt;
      }
      QString why;
      const std::optional<Hms> time = ParseHms(value.toString(), &why);
      if (!time) {
        *error = where + QStringLiteral(": ") + why;
        return std::nullopt;
      }
      std::optional<Hms>& slot = key == QLatin1String("mono") ? config.mono
                                 : key == QLatin1String("on") ? config.on
                                                              : config.off;
      slot = time;
    } else if (key == QLatin1String("power_up")) {
      config.powerUpOn = ParseChoice(value, "on", "off", where, error);
      if (!config.powerUpOn) return std::nullopt;
    } else if (key == QLatin1String("mode")) {
      config.bistable = ParseChoice(value, kModeBi, kModeMono, where, error);
      if (!config.bistable) return std::nullopt;
    } else if (key == QLatin1String("well_formed")) {
      // What `read --json` says of the read-back; nothing to upload.
      if (!value.isBool()) {
        *error = Tr(QT_TRANSLATE_NOOP("timer", "%1: expected true or false")).arg(where);
        return std::nullopt;
      }
    } else {
      *error =
          Tr(QT_TRANSLATE_NOOP("timer", "%1: unknown key (known: mono, on, off, power_up, mode)"))
              .arg(where);
      return std::nullopt;
    }
  }
  return config;
}
