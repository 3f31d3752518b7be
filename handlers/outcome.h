#pragma once

#include <QString>

// How a handler that talks to the device ended. The handler has already
// written its changes and shown its message; the window ignores the outcome,
// a script turns it into an exit code.
enum class Result {
  Done,             // linked, unlinked, or the device answered
  NoAnswer,         // the device stayed silent
  PortUnavailable,  // the port could not be opened, or failed; `reason` says why
  PortClosed,       // a port change or a disconnect closed the port under the wait
  Unloaded,         // the window was closed during the wait
  Refused,          // a time field failed its check; nothing was sent
  Busy,             // clicked inside another command's wait; nothing was sent
};

struct Outcome {
  Result result = Result::Done;
  QString reason;
};
