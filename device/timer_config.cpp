// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/timer_config.h"

#include <QStringList>

#include <algorithm>

#include "base/text.h"

namespace {

constexpr int kMinutesSecondsLimit = 59;

// Only "0" .. "9": blanks, signs, points and the digits of other scripts are not digits.
bool IsDigit(QChar c) {
  return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

}  // namespace

void TimerConfig::update(const TimerConfig& other) {
  if (other.mono) mono = other.mono;
  if (other.on) on = other.on;
  if (other.off) off = other.off;
  if (other.powerUpOn) {
    powerUpOn = other.powerUpOn;
    otherFlag = other.otherFlag;
  }
  if (other.bistable) bistable = other.bistable;
}

bool TimerConfig::operator==(const TimerConfig& other) const {
  return mono == other.mono && on == other.on && off == other.off && powerUpOn == other.powerUpOn &&
         otherFlag == other.otherFlag && bistable == other.bistable;
}

bool Accepts(FieldKind kind, const QString& text) {
  // Typed text has at most two characters; a longer one (never written by
  // this program) is refused rather than let into a configuration.
  if (text.size() > 2 || !std::all_of(text.begin(), text.end(), IsDigit)) return false;
  return kind == FieldKind::Hours || text.toInt() <= kMinutesSecondsLimit;
}

std::optional<Hms> ParseHms(const QString& text, QString* error) {
  const QStringList parts = text.split(QLatin1Char(':'));
  if (parts.size() != 3 || parts[0].size() != 2 || parts[1].size() != 2 || parts[2].size() != 2) {
    *error = Tr(QT_TRANSLATE_NOOP("timer", "expected HH:MM:SS, got \"%1\"")).arg(text);
    return std::nullopt;
  }
  const Hms time{parts[0], parts[1], parts[2]};
  if (!Accepts(FieldKind::Hours, time.hours)) {
    *error = Tr(QT_TRANSLATE_NOOP("timer", "the value must be between 0 and 99"));
  } else if (!Accepts(FieldKind::MinutesSeconds, time.minutes) ||
             !Accepts(FieldKind::MinutesSeconds, time.seconds)) {
    *error = Tr(QT_TRANSLATE_NOOP("timer", "the value must be between 0 and 59"));
  } else {
    return time;
  }
  return std::nullopt;
}

QString PowerUpValue(const TimerConfig& config) {
  return config.otherFlag.isNull() ? PowerUpWord(config.powerUpOn.value_or(false))
                                   : QString(config.otherFlag);
}

QString PowerUpShown(const TimerConfig& config) {
  return config.otherFlag.isNull() ? PowerUpValue(config)
                                   : QLatin1Char('"') + config.otherFlag + QLatin1Char('"');
}

bool WellFormed(const TimerConfig& config) {
  QString ignored;
  return config.otherFlag.isNull() &&
         std::all_of(std::begin(kDeviceTimes), std::end(kDeviceTimes), [&](DeviceTime t) {
           return (config.*t.time) && ParseHms((config.*t.time)->text(), &ignored);
         });
}

QJsonObject ToJson(const TimerConfig& config) {
  QJsonObject object;
  for (const DeviceTime& t : kDeviceTimes) {
    if (config.*t.time) object.insert(QLatin1String(t.name), (config.*t.time)->text());
  }
  if (config.powerUpOn) object.insert(QStringLiteral("power_up"), PowerUpValue(config));
  if (config.bistable)
    object.insert(QStringLiteral("mode"), QLatin1String(*config.bistable ? kModeBi : kModeMono));
  return object;
}
