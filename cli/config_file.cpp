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

std::optional<Hms>* TimeSlot(TimerConfig& config, const QString& key) {
  for (const DeviceTime& t : kDeviceTimes) {
    if (key == QLatin1String(t.name)) return &(config.*t.time);
  }
  return nullptr;
}

// One key of a configuration into `config`; false with `error` set when its
// value is wrong, false with `error` empty when the key is not one of them.
bool TakeKey(const QString& key, const QJsonValue& value, const QString& where, TimerConfig& config,
             QString* error) {
  if (std::optional<Hms>* slot = TimeSlot(config, key)) {
    if (!value.isString()) {
      *error = Tr(QT_TRANSLATE_NOOP("timer", "%1: expected a text \"HH:MM:SS\"")).arg(where);
      return false;
    }
    QString why;
    *slot = ParseHms(value.toString(), &why);
    if (!*slot) *error = where + QStringLiteral(": ") + why;
    return slot->has_value();
  }
  if (key == QLatin1String("power_up")) {
    config.powerUpOn = ParseChoice(value, "on", "off", where, error);
    return config.powerUpOn.has_value();
  }
  if (key == QLatin1String("mode")) {
    config.bistable = ParseChoice(value, kModeBi, kModeMono, where, error);
    return config.bistable.has_value();
  }
  if (key == QLatin1String("well_formed")) {
    // What `read --json` says of the read-back; nothing to upload.
    if (!value.isBool())
      *error = Tr(QT_TRANSLATE_NOOP("timer", "%1: expected true or false")).arg(where);
    return value.isBool();
  }
  return false;
}

}  // namespace

bool IsDeviceKey(const QString& key) {
  return key == QLatin1String("device") || key == QLatin1String("com") ||
         key == QLatin1String("serial_number");
}

std::optional<TimerConfig> TimerConfigOf(const QJsonObject& object, const QString& where,
                                         const OtherKey& other, const char* known, QString* error) {
  TimerConfig config;
  for (auto it = object.begin(); it != object.end(); ++it) {
    const QString at = QStringLiteral("%1: \"%2\"").arg(where, it.key());
    error->clear();
    if (TakeKey(it.key(), it.value(), at, config, error)) continue;
    if (!error->isEmpty()) return std::nullopt;
    if (other(it.key(), it.value())) continue;
    *error =
        Tr(QT_TRANSLATE_NOOP("timer", "%1: unknown key (known: %2)")).arg(at, QLatin1String(known));
    return std::nullopt;
  }
  return config;
}

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
  return TimerConfigOf(
      document.object(), source,
      [](const QString& key, const QJsonValue&) {
        return IsDeviceKey(key) || key == QLatin1String("server_fingerprint");
      },
      "mono, on, off, power_up, mode", error);
}
