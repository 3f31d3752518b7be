// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "device/reply.h"

// Why a handler that talks to the device made no exchange.
enum class Skipped {
  No,
  Refused,  // a time field failed its check; nothing was sent
  Busy,     // clicked inside another command's wait; nothing was sent
};

// How a handler that talks to the device ended. It has already written its
// changes and shown its message; the window keeps the reason a port is not
// available for its status bar, and records the rest.
struct Outcome {
  // Answered also when there was nothing to exchange (an unlink).
  Reply reply;
  Skipped skipped = Skipped::No;

  End end() const { return reply.end; }
};

inline Outcome EndedAs(End end) {
  return Outcome{Reply{end, PortFault::None, {}, {}}};
}
inline Outcome SkippedAs(Skipped why) {
  return Outcome{{}, why};
}

// The word the programming record says for it, as timerctl's does where the
// ends are the same: "ok", "no answer", ..., "refused", "busy".
QString OutcomeWord(const Outcome& outcome);
