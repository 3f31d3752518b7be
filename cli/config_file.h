// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <functional>
#include <optional>

#include "device/timer_config.h"

// A timer's configuration as a file: the JSON object `timerctl read --json` prints:
//   {"mono":"01:30:15","on":"00:00:10","off":"00:02:00","power_up":"off","well_formed":true,
//    "device":"/dev/ttyUSB0"}
// with "mode" ("mono" or "bi", which the device does not report) besides.
// Every key may be left out; an upload takes what is missing from the device.
// What read writes about the device ("well_formed", which device it was:
// "device", "com" or "serial_number", and behind TLS its server's
// "server_fingerprint") is ignored.

// Reads a configuration file's text; on failure says why, naming `source`
// and the key at fault.
std::optional<TimerConfig> ParseTimerConfig(const QByteArray& json, const QString& source,
                                            QString* error);

// A key that is not a configuration's: true when the caller knows it (and
// has taken it), false when it is unknown.
using OtherKey = std::function<bool(const QString& key, const QJsonValue& value)>;

// The configuration keys of `object`; every other key goes to `other`. On
// failure says why, after `where` ("timer.json", "plant.jsonl:3"); an unknown
// key's message lists `known`.
std::optional<TimerConfig> TimerConfigOf(const QJsonObject& object, const QString& where,
                                         const OtherKey& other, const char* known, QString* error);

// The keys with which read says which device it read.
bool IsDeviceKey(const QString& key);
