// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <optional>

#include "device/timer_config.h"

// The configuration as it travels: what an upload sends, and the read-back a
// device answers to the probe, taken by the window's rule and by timerctl's.

// The 19 characters a device holding `config` (every part present) reads
// back: each time as seconds, minutes, hours, then the power-up flag.
QByteArray ReadBackOf(const TimerConfig& config);

// The configuration string of an upload: the mode letter, then the read-back
// of `config` (every time and the power-up state present).
QByteArray ConfigurationString(bool bistable, const TimerConfig& config);

// The window's rule, over the reply text of a link (which starts with a
// blank): the time characters from the text's second on, at their places, as
// far as the text reaches; the power-up flag is the next-to-last character of
// the whole text, wherever the "Y" stands.
TimerConfig ReadBackAtStart(const QByteArray& replyText);

// timerctl's rule, over what the device sent after a probe: the 19
// characters right before the first "Y". Whatever stands before or after
// them moves no field; fewer than 19 is no read-back at all.
struct ReadBack {
  QByteArray answer;                  // what the device sent, as it came
  QByteArray text;                    // those 19 characters, or an empty text
  std::optional<TimerConfig> config;  // what they hold, with the text only
};
ReadBack ReadBackIn(const QByteArray& received);
