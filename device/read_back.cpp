// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/read_back.h"

#include "device/protocol.h"

namespace {

// The characters of one time in a read-back, seconds first, from `first`.
// Mid$-like: what is left where the text ends early, nothing beyond its end.
Hms TimeAt(const QByteArray& text, qsizetype first) {
  const auto pair = [&](qsizetype at) { return QString::fromLatin1(text.mid(at, kTimeWidth)); };
  return Hms{pair(first + 2 * kTimeWidth), pair(first + kTimeWidth), pair(first)};
}

// The configuration whose times start at `first` of `text`.
TimerConfig TimesFrom(const QByteArray& text, qsizetype first) {
  TimerConfig config;
  for (const DeviceTime& t : kDeviceTimes) {
    config.*t.time = TimeAt(text, first);
    first += 3 * kTimeWidth;
  }
  return config;
}

}  // namespace

QByteArray ReadBackOf(const TimerConfig& config) {
  QByteArray text;
  for (const DeviceTime& time : kDeviceTimes) {
    const Hms& t = *(config.*time.time);
    text += (t.seconds + t.minutes + t.hours).toLatin1();
  }
  return text + (*config.powerUpOn ? kPowerUpOn : kPowerUpOff);
}

QByteArray ConfigurationString(bool bistable, const TimerConfig& config) {
  return (bistable ? kBistableLetter : kMonostableLetter) + ReadBackOf(config);
}

TimerConfig ReadBackAtStart(const QByteArray& replyText) {
  TimerConfig config = TimesFrom(replyText, 1);
  const qsizetype flag = replyText.size() - 2;
  config.powerUpOn = flag >= 0 && replyText.at(flag) == kPowerUpOn;
  return config;
}

ReadBack ReadBackIn(const QByteArray& received) {
  ReadBack readBack{received, {}, std::nullopt};
  const qsizetype end = received.indexOf(kProbeAnswer[0]);
  if (end < kReadBackLength) return readBack;
  readBack.text = received.mid(end - kReadBackLength, kReadBackLength);
  TimerConfig config = TimesFrom(readBack.text, 0);
  config.powerUpOn = readBack.text.back() == kPowerUpOn;
  if (readBack.text.back() != kPowerUpOn && readBack.text.back() != kPowerUpOff)
    config.otherFlag = QLatin1Char(readBack.text.back());
  readBack.config = config;
  return readBack;
}
