// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

#include "device/timer_config.h"

// A timer's configuration as a file: the JSON object `timerctl read --json` prints:
//   {"mono":"01:30:15","on":"00:00:10","off":"00:02:00","power_up":"off"}
// with "mode" ("mono" or "bi", which the device does not report) besides.
// Every key may be left out; an upload takes what is missing from the device.

// Reads a configuration file's text; on failure says why, naming `source`
// and the key at fault.
std::optional<TimerConfig> ParseTimerConfig(const QByteArray& json, const QString& source,
                                            QString* error);
