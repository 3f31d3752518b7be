// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/timer_config.h"

#include <QJsonDocument>
#include <QStringList>

#include "handlers/field_check.h"
#include "model/texts.h"

namespace {

constexpr char kModeMono[] = "mono";
constexpr char kModeBi[] = "bi";

// One of two words, as a flag; the key's name goes into the complaint.
std::optional<bool> ParseChoice(const QJsonValue& value, const char* yes, const char* no,
                                const QString& where, QString* error) {
  if (value.isString() && value.toString() == QLatin1String(yes)) return true;
  if (value.isString() && value.toString() == QLatin1String(no)) return false;
  *error = QStringLiteral("%1: takes \"%2\" or \"%3\"")
               .arg(where, QLatin1String(yes), QLatin1String(no));
  return std::nullopt;
}

}  // namespace

void TimerConfig::update(const TimerConfig& other) {
  if (other.mono) mono = other.mono;
  if (other.on) on = other.on;
  if (other.off) off = other.off;
  if (other.powerUpOn) powerUpOn = other.powerUpOn;
  if (other.bistable) bistable = other.bistable;
}

bool TimerConfig::operator==(const TimerConfig& other) const {
  return mono == other.mono && on == other.on && off == other.off && powerUpOn == other.powerUpOn &&
         bistable == other.bistable;
}

namespace {
constexpr char kReadBackEnd = 'Y';
constexpr qsizetype kReadBackLength = 19;
constexpr char kFlagOn = '1';
}  // namespace

QByteArray ReadBackTextIn(const QByteArray& received) {
  const qsizetype end = received.indexOf(kReadBackEnd);
  if (end < kReadBackLength) return {};
  return received.mid(end - kReadBackLength, kReadBackLength);
}

std::optional<TimerConfig> ReadBackIn(const QByteArray& received) {
  const QByteArray r = ReadBackTextIn(received);
  if (r.isEmpty()) return std::nullopt;
  const auto time = [&r](int first) {  // seconds, minutes, hours from `first`
    return Hms{QString::fromLatin1(r.mid(first + 4, 2)), QString::fromLatin1(r.mid(first + 2, 2)),
               QString::fromLatin1(r.mid(first, 2))};
  };
  TimerConfig config;
  config.mono = time(0);
  config.on = time(6);
  config.off = time(12);
  config.powerUpOn = r.back() == kFlagOn;
  return config;
}

QByteArray ReadBackOf(const TimerConfig& c) {
  QByteArray text;
  for (const std::optional<Hms>& t : {c.mono, c.on, c.off})
    text += (t->seconds + t->minutes + t->hours).toLatin1();
  return text + (*c.powerUpOn ? kFlagOn : '0');
}

std::optional<Hms> ParseHms(const QString& text, QString* error) {
  const QStringList parts = text.split(QLatin1Char(':'));
  if (parts.size() != 3 || parts[0].size() != 2 || parts[1].size() != 2 || parts[2].size() != 2) {
    *error = QStringLiteral("expected HH:MM:SS, got \"%1\"").arg(text);
    return std::nullopt;
  }
  const Hms time{parts[0], parts[1], parts[2]};
  if (!Accepts(FieldKind::Hours, time.hours)) {
    *error = QString::fromUtf8(RangeMessage(FieldKind::Hours).prompt);
  } else if (!Accepts(FieldKind::MinutesSeconds, time.minutes) ||
             !Accepts(FieldKind::MinutesSeconds, time.seconds)) {
    *error = QString::fromUtf8(RangeMessage(FieldKind::MinutesSeconds).prompt);
  } else {
    return time;
  }
  return std::nullopt;
}

bool WellFormed(const TimerConfig& c) {
  QString ignored;
  for (const std::optional<Hms>& t : {c.mono, c.on, c.off}) {
    if (!t || !ParseHms(t->text(), &ignored)) return false;
  }
  return true;
}

std::optional<TimerConfig> ParseTimerConfig(const QByteArray& json, const QString& source,
                                            QString* error) {
  QJsonParseError parse{};
  const QJsonDocument document = QJsonDocument::fromJson(json, &parse);
  if (parse.error != QJsonParseError::NoError) {
    *error = QStringLiteral("%1: not JSON: %2 at character %3")
                 .arg(source, parse.errorString())
                 .arg(parse.offset);
    return std::nullopt;
  }
  if (!document.isObject()) {
    *error = QStringLiteral("%1: expected one JSON object").arg(source);
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
        *error = where + QStringLiteral(": expected a text \"HH:MM:SS\"");
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
        *error = where + QStringLiteral(": expected true or false");
        return std::nullopt;
      }
    } else {
      *error = where + QStringLiteral(": unknown key (known: mono, on, off, power_up, mode)");
      return std::nullopt;
    }
  }
  return config;
}

QJsonObject ToJson(const TimerConfig& config) {
  QJsonObject object;
  if (config.mono) object.insert(QStringLiteral("mono"), config.mono->text());
  if (config.on) object.insert(QStringLiteral("on"), config.on->text());
  if (config.off) object.insert(QStringLiteral("off"), config.off->text());
  if (config.powerUpOn) object.insert(QStringLiteral("power_up"), PowerUpWord(*config.powerUpOn));
  if (config.bistable)
    object.insert(QStringLiteral("mode"), QLatin1String(*config.bistable ? kModeBi : kModeMono));
  return object;
}
