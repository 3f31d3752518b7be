// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <optional>

// A timer's configuration as timerctl reads, keeps and uploads it. As a file
// it is the JSON object `timerctl read --json` prints:
//   {"mono":"01:30:15","on":"00:00:10","off":"00:02:00","power_up":"off"}
// with "mode" ("mono" or "bi", which the device does not report) besides.
// Every key may be left out; an upload takes what is missing from the device.

struct Hms {
  QString hours, minutes, seconds;  // two digits each
  QString text() const { return hours + QLatin1Char(':') + minutes + QLatin1Char(':') + seconds; }
  bool operator==(const Hms& other) const {
    return hours == other.hours && minutes == other.minutes && seconds == other.seconds;
  }
};

struct TimerConfig {
  std::optional<Hms> mono, on, off;
  std::optional<bool> powerUpOn;
  std::optional<bool> bistable;

  // Takes every value `other` holds, over this one's.
  void update(const TimerConfig& other);
  bool operator==(const TimerConfig& other) const;
};

// "HH:MM:SS", hours 00-99, minutes and seconds 00-59, as the window's field
// check accepts them; on failure says why.
std::optional<Hms> ParseHms(const QString& text, QString* error);

// Reads a configuration file's text; on failure says why, naming `source`
// and the key at fault.
std::optional<TimerConfig> ParseTimerConfig(const QByteArray& json, const QString& source,
                                            QString* error);

QJsonObject ToJson(const TimerConfig& config);

// The power-up state as the file, the reports and the options say it.
inline QString PowerUpWord(bool on) {
  return on ? QStringLiteral("on") : QStringLiteral("off");
}
