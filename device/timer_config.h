// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QJsonObject>
#include <QString>

#include <optional>

// A timer's configuration: three times, the power-up state, the mode. Each
// part may be missing: an upload takes what is missing from the device.

// A time as the device holds it: two characters each for hours, minutes and
// seconds, which a device with a damaged memory may hold as anything.
struct Hms {
  QString hours, minutes, seconds;
  // The one text form of a time, "HH:MM:SS".
  QString text() const { return hours + QLatin1Char(':') + minutes + QLatin1Char(':') + seconds; }
  bool operator==(const Hms& other) const {
    return hours == other.hours && minutes == other.minutes && seconds == other.seconds;
  }
};

struct TimerConfig {
  std::optional<Hms> mono, on, off;
  std::optional<bool> powerUpOn;
  // A power-up flag read back that is neither "0" nor "1" (powerUpOn then
  // says off): shown as it is, never sent.
  QChar otherFlag;
  std::optional<bool> bistable;

  // Takes every value `other` holds, over this one's.
  void update(const TimerConfig& other);
  bool operator==(const TimerConfig& other) const;
};

// The three times in the order the device reads them back and takes them,
// with the names the files and the reports give them.
struct DeviceTime {
  std::optional<Hms> TimerConfig::*time;
  const char* name;
};
inline constexpr DeviceTime kDeviceTimes[] = {
    {&TimerConfig::mono, "mono"}, {&TimerConfig::on, "on"}, {&TimerConfig::off, "off"}};

// The range of a time's part: hours 00-99, minutes and seconds 00-59.
enum class FieldKind { Hours, MinutesSeconds };
// One or two digits "0" .. "9" within the part's range.
bool Accepts(FieldKind kind, const QString& text);

// The configuration as the files, the reports and the record write it:
//   {"mono":"01:30:15","on":"00:00:10","off":"00:02:00","power_up":"off","mode":"bi"}
// with only the parts it holds.
QJsonObject ToJson(const TimerConfig& config);
inline constexpr char kModeMono[] = "mono";
inline constexpr char kModeBi[] = "bi";
// The power-up state as the files, the reports and the options say it.
inline QString PowerUpWord(bool on) {
  return on ? QStringLiteral("on") : QStringLiteral("off");
}
// What a configuration's power-up state (present) says: its word, or the
// flag that is neither, as it stands in JSON ("x") or to people ("\"x\"").
QString PowerUpValue(const TimerConfig& config);
QString PowerUpShown(const TimerConfig& config);

// "HH:MM:SS", each part two digits in its range; on failure says why.
std::optional<Hms> ParseHms(const QString& text, QString* error);

// Every time present and of the form ParseHms accepts, and a power-up flag
// that is "0" or "1": a configuration that can be sent back as it is.
bool WellFormed(const TimerConfig& config);
