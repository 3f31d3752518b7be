// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "link/port_fault.h"
#include "link/serial_port.h"

// How a handler that talks to the device ended. The handler has already
// written its changes and shown its message; the window ignores the outcome,
// a script turns it into an exit code.
enum class Result {
  Done,             // linked, unlinked, the device answered, or nothing to do
  NoAnswer,         // the device stayed silent
  PortUnavailable,  // the port could not be opened, or failed; `reason` says why
  PortClosed,       // a port change or a disconnect closed the port under the wait
  Unloaded,         // the window was closed during the wait
  Refused,          // a time field failed its check; nothing was sent
  Busy,             // clicked inside another command's wait; nothing was sent
};

struct Outcome {
  Result result = Result::Done;
  // With PortUnavailable: why, for the operator and for stderr.
  PortFault fault = PortFault::None;
  QString reason;
};

inline Outcome OutcomeOf(Result result) {
  return Outcome{result, PortFault::None, QString()};
}

// The port could not be opened or failed: its reason goes with the outcome.
inline Outcome PortUnavailableOutcome(const SerialPort& port) {
  return Outcome{Result::PortUnavailable, port.fault(), port.errorText().english()};
}
