// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "link/port_fault.h"

class Adapters;

// The status bar's second panel: what a Com number reaches, and why a port is
// not available (the message box says only that it is not).

// What Com `number` reaches, for the operator: "Com1: /dev/ttyUSB0 · FT232R USB
// UART · A50285BI" as `adapters` know it, or that no device stands behind it;
// a device server behind TLS with how the link is protected, `channel`
// ("Com3: rfc2217+tls://10.0.0.7:7001 · TLS 1.3 · CN=ser2net-hall3").
QString DescribeComPort(int number, const QString& path, const Adapters& adapters,
                        const QString& channel = {});

// Why a port is not available, in words an operator acts on; `detail` is the
// port's faultDetail(): the program holding it, the group it belongs to.
QString FaultText(PortFault fault, const QString& detail = {});
