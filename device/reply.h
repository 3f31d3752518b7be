// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include "link/port_fault.h"
#include "base/text.h"

class SerialPort;

// How an exchange with the device ended.
enum class End {
  Answered,         // one of the answer's characters came
  NoAnswer,         // the device stayed silent for the whole wait
  PortUnavailable,  // the port could not be opened, or the line failed
  PortClosed,       // the port was closed under the wait (a port change, a disconnect)
  Unloaded,         // whoever waited must not resume (the window was closed)
  Echo,             // the line returned the probe itself: it echoes what is sent
};

// The word scripts and the programming record read: "ok", "no answer"...
Text EndWord(End end);

// What one exchange brought: how it ended, why the port was not available,
// and what the device sent.
struct Reply {
  End end = End::Answered;
  // With PortUnavailable: why, in the operator's terms and in words.
  PortFault fault = PortFault::None;
  Text reason;
  // The reply text: the waiter's initial text, then what the device sent
  // until its answer. Past 40 characters only the first 20 and last 20 are
  // kept ahead of the last piece received, which is kept whole: that holds
  // everything either read-back rule reads, however much a line floods.
  QByteArray bytes;

  bool answered() const { return end == End::Answered; }
};

// An exchange that found `port` unavailable: the port's fault and words. A
// line that failed while open (`wasOpen`) was lost, whatever call noticed it.
Reply Unavailable(const SerialPort& port, bool wasOpen, QByteArray bytes = {});
