// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The signals that end a run early: Ctrl-C (SIGINT), a kill (SIGTERM), a
// session hung up (SIGHUP). Once one arrives no device starts; those in
// flight finish and are recorded, and the run ends with 128 + its number. A
// second one of the same kind ends the process at once: by then the record
// holds every device a configuration went out to.
void CatchStopSignals();
// The signal that asked the run to stop, or 0.
int StopSignal();
// "SIGINT", "SIGTERM", "SIGHUP".
QString SignalName(int signal);
