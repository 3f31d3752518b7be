// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

#include "cli/programmer.h"

class Adapters;
class PortMap;

// A plant's timers in one file: one JSON object per line, each naming one
// device and what it should hold.
//   {"serial_number":"A50285BI","configuration":{"mono":"00:01:30","power_up":"on"}}
//   {"device":"/dev/serial/by-id/usb-FTDI_...-if00-port0","on":"00:20:00","off":"02:00:00"}
//   {"com":3,"mode":"bi","on":"00:00:10","off":"00:02:00"}
// The device is named by exactly one of "device" (a path, a /dev/serial/by-id/
// name, an rfc2217:// or tcp: address), "com" (1 to 16, as the port map says)
// and "serial_number" (its adapter's USB serial number); what it should hold
// is a configuration file's keys, under "configuration" or beside the name.
// What timerctl writes of a device besides ("port", "result", "reason",
// "differences", "well_formed", and a plan's "held" and "reached") is taken as
// it is: the lines `read --json` writes for many devices are an inventory.
// Blank lines and lines starting with "#" are skipped, and so is a byte order
// mark.
//
// A kept plan is such a file whose every line gives what the device held
// ("held", as it was read: null when it could not be read) and which device
// the name reached ("reached": {"path": the device, links resolved,
// "serial_number": its adapter's where known}), and whose last line counts its
// devices: {"end_of_plan":{"devices":N}}.
struct InventoryEntry {
  int line = 0;
  // {"device": PATH}, {"com": N} or {"serial_number": S}.
  QJsonObject identity;
  TimerConfig configuration;
  // A plan's line: what the device held when the plan was made; nothing when
  // the plan could not read it.
  bool planned = false;
  std::optional<TimerConfig> held;
  QJsonObject reached;
  // Behind TLS: whom its device server is trusted as, over the run's.
  TlsTrust trust;
};

// Reads an inventory's text, or with `keptPlan` a kept plan's, which must be
// whole; on failure says why, "FILE:LINE: ...".
std::optional<std::vector<InventoryEntry>> ParseInventory(const QByteArray& text,
                                                          const QString& source, bool keptPlan,
                                                          QString* error);

// A kept plan's last line, for `devices` devices.
QJsonObject EndOfPlan(int devices);
// What a target's name reaches, as a kept plan says it.
QJsonObject Reached(const Target& target, const Adapters& adapters);

// The device each entry names: Com numbers through `ports`, serial numbers
// among `adapters`; a device server behind TLS trusted as its entry says, over
// `trust` (the run's) for a path or address, over `ports` for a Com number.
// Refuses a serial number no adapter has and two entries for one device.
std::optional<std::vector<Target>> InventoryTargets(const std::vector<InventoryEntry>& entries,
                                                    const PortMap& ports, const TlsTrust& trust,
                                                    const Adapters& adapters, const QString& source,
                                                    QString* error);
