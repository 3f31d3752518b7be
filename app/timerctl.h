#pragma once

#include <QStringList>

// Exit codes a script can rely on.
inline constexpr int kExitOk = 0;
inline constexpr int kExitNoAnswer = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitPortUnavailable = 3;

// Runs `timerctl` with its command line (arguments[0] is the program): reads,
// programs or fires a timer through the same handlers as the window.
int RunTimerctl(const QStringList& arguments);
