// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <vector>

#include "cli/programmer.h"

// timerctl's commands as data: what each works on, which options of its own
// it takes, how it is said and how its devices' codes make the run's. The
// command line's parsing, the help's list, the check of the completion and
// the fleet's code read this table: a new command is a row, its job
// (Program in cli/programmer.cpp) and its texts.

// What a command works on.
enum class Input {
  Devices,    // --com, --device, --all, or Com1
  Inventory,  // FILE, or with --plan a kept plan
};

struct Command {
  Job job;
  const char* name;
  Input input;
  // Its own options, by long name, besides those every command takes.
  std::vector<const char*> options;
  // Its paragraph of the help's "Commands:", translated with Tr().
  const char* help;
  // With no device given, every Com number that designates one.
  bool everyDevice;
  // One line per device however many there are, and on a terminal a count
  // at the end (a sentence for one device, one for several).
  bool lists;
  const char* tallyOne;
  const char* tallyMany;
  // Its lines show the configuration found, naming the device by its
  // adapter's serial number where the system knows one.
  bool readsBack;
  // What a success is called instead of its result word: a scan's "timer".
  const char* found;
  // Its lines say what each device held and which device its name reached:
  // a plan to keep.
  bool plans;
  Combine combine;
};

const std::vector<Command>& Commands();
const Command& CommandOf(Job job);
// The command called `name`, or nothing.
const Command* CommandNamed(const QString& name);
// The options that belong to some command, each allowed only with those.
QStringList CommandOptions();
bool Takes(const Command& command, const QString& option);
