// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

#include "cli/programmer.h"
#include "link/adapters.h"

// Where timerctl writes and how it reaches devices: the process's standard
// streams and real lines, or a test's buffers and scripted lines.
struct Console {
  std::function<void(const QString&text)> out, err;
  // Progress is shown only to a person watching stderr.
  bool errIsTerminal = false;
  LineMaker lines = RealLine;
  // What the system knows of its serial adapters.
  std::function<Adapters()> adapters = Adapters::FromSystem;
  // The signal that asks the run to stop, or 0 (see cli/interruption.h).
  std::function<int()> interrupted;
};
Console ProcessConsole();

// Runs `timerctl` with its command line (arguments[0] is the program): reads,
// programs, fires or finds timers with the window's commands, answers and
// wait. Returns the exit code (see cli/programmer.h).
int RunTimerctl(const QStringList& arguments, const Console& console = ProcessConsole());
