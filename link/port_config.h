// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include "link/port_map.h"

// The user's standing port map, for a program started from the desktop menu,
// in the settings file (SettingsFilePath()), and whom each device server
// behind TLS is trusted as:
//   [ports]
//   1=/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0
//   3=rfc2217+tls://plant-gw.example:7001
//   [tls]
//   3/ca=/etc/timer-rs232/plant-ca.pem      (or 3/pin=sha256:AB:CD:...)
//   3/cert=/etc/timer-rs232/line-pc.pem
//   3/key=/etc/timer-rs232/line-pc.key

// Reads the [ports] and [tls] groups of `file`; an entry that cannot be used
// is skipped, with a line saying why in `problems`. A missing file is an empty
// map.
PortMap ReadPortConfig(const QString& file, QStringList* problems);

// The settings file's map with `given` (the command line's) over it;
// what is wrong with the file goes to stderr.
PortMap PortsOverConfiguration(const PortMap& given);
