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

// The read-back timerctl takes from everything the device sent after a
// probe: the 19 characters right before the first "Y" (nine two-digit times
// in device order, then the power-up flag). Whatever stands before or after
// them moves no field; fewer than 19 is no read-back at all.
std::optional<TimerConfig> ReadBackIn(const QByteArray& received);
// Those 19 characters as received, or an empty text.
QByteArray ReadBackTextIn(const QByteArray& received);

// The 19 characters a device holding `config` (complete) reads back.
QByteArray ReadBackOf(const TimerConfig& config);

// Every time of a complete configuration HH:MM:SS in its range: a read-back
// that can be sent back.
bool WellFormed(const TimerConfig& config);

// Reads a configuration file's text; on failure says why, naming `source`
// and the key at fault.
std::optional<TimerConfig> ParseTimerConfig(const QByteArray& json, const QString& source,
                                            QString* error);

QJsonObject ToJson(const TimerConfig& config);

// The power-up state as the file, the reports and the options say it.
inline QString PowerUpWord(bool on) {
  return on ? QStringLiteral("on") : QStringLiteral("off");
}
