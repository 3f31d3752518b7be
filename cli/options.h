// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <variant>
#include <vector>

#include "cli/commands.h"
#include "cli/programmer.h"
#include "link/adapters.h"

// timerctl's command line, read and checked before any port opens: which
// command, on which devices, with what, said how.
struct Invocation {
  bool help = false;
  bool version = false;
  const Command* command = nullptr;
  Request request;  // the job, the verification, the echo
  std::vector<Target> targets;
  // One line per device, each starting with the device.
  bool lines = false;
  bool asJson = false;
  bool trace = false;
  QString log;                 // the record's file, or empty
  std::optional<QString> out;  // where the plan is kept ("-": standard output)
  // What the system knows of its adapters, asked only when the run needs it.
  Adapters adapters;
};

// A run that ends before any device is served: why, and the exit code.
struct Stop {
  int code;
  QString message;
};

// Reads `arguments` (arguments[0] is the program); `adapters` is asked once,
// and only when needed.
std::variant<Invocation, Stop> ReadInvocation(const QStringList& arguments,
                                              const std::function<Adapters()>& adapters);

// Every option timerctl takes, by its long name.
QStringList OptionNames();
