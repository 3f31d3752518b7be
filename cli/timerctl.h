// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

// Runs `timerctl` with its command line (arguments[0] is the program): reads,
// programs, fires or finds timers through the same handlers as the window.
// Returns the exit code (see app/programmer.h).
int RunTimerctl(const QStringList& arguments);
