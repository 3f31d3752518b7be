// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/commands.h"

#include <QStringList>

#include <algorithm>

namespace {

// Each command's paragraph of the help, whole, so that a translation lays it
// out as its language needs.
const char* const kReadHelp = QT_TRANSLATE_NOOP(
    "timer", R"help(  read                  Links (probe "Y") and prints the device's configuration:
                        the monostable, ON and OFF times as HH:MM:SS and the
                        power-up state. With --json, as one JSON object, which
                        upload --from takes back.
)help");
const char* const kUploadHelp = QT_TRANSLATE_NOOP(
    "timer", R"help(  upload                Links, takes the read-back as the starting point,
                        changes what is given, sends the configuration, then
                        reads it back and compares:
                          --from FILE           a configuration file (- for
                                                standard input); the options
                                                below override single values
                          --mode mono|bi        (default mono)
                          --mono HH:MM:SS       monostable time
                          --on HH:MM:SS         bistable ON time
                          --off HH:MM:SS        bistable OFF time
                          --power-up on|off     state at power-up
                          --no-verify           skips the read-back
                        Hours 00-99, minutes and seconds 00-59, two digits each.
                        A read-back that is not a well-formed configuration is
                        refused unless mono, on, off and power-up are all given.
)help");
const char* const kFireHelp =
    QT_TRANSLATE_NOOP("timer", R"help(  fire                  Links and fires the timer ("E").
)help");
const char* const kScanHelp = QT_TRANSLATE_NOOP(
    "timer", R"help(  scan                  Probes every Com number that designates a device (or
                        the ones given) at once, and says which has a timer.
)help");
const char* const kPlanHelp = QT_TRANSLATE_NOOP(
    "timer", R"help(  plan FILE             Reads every device of the inventory FILE at once and
                        writes nothing: says of each "unchanged", what would
                        change ("on: device 00:20:10, file 00:00:10"), or why
                        it could not be read.
                          --out PLANFILE        keeps the plan (- for standard
                                                output): what each device held
                                                and which device it was, then
                                                a line that counts them; the
                                                old PLANFILE is replaced only
                                                by a whole plan
)help");
const char* const kApplyHelp = QT_TRANSLATE_NOOP(
    "timer", R"help(  apply FILE            Writes, all at once, only the devices of FILE whose
                        times or power-up differ, each verified as upload
                        verifies; the others are "unchanged".
                          --plan PLANFILE       a kept plan instead of FILE: a
                                                device that holds something
                                                else than the plan saw, or is
                                                not the device planned, is not
                                                written
                          --no-verify           skips the read-back
)help");

const char* const kPlanOne =
    QT_TRANSLATE_NOOP("timer", "%1 device: %2 unchanged, %3 differs, %4 failed");
const char* const kPlanMany =
    QT_TRANSLATE_NOOP("timer", "%1 devices: %2 unchanged, %3 differ, %4 failed");
const char* const kApplyOne =
    QT_TRANSLATE_NOOP("timer", "%1 device: %2 unchanged, %3 programmed, %4 failed");
const char* const kApplyMany =
    QT_TRANSLATE_NOOP("timer", "%1 devices: %2 unchanged, %3 programmed, %4 failed");

}  // namespace

const std::vector<Command>& Commands() {
  // job, name, input, its own options, help,
  //   every device by default, lists, tally for one, for several,
  //   reads back, what a success is called, plans, how the codes combine
  static const std::vector<Command> commands = {
      {Job::Read,
       "read",
       Input::Devices,
       {"com", "device", "all"},
       kReadHelp,
       false,
       false,
       nullptr,
       nullptr,
       true,
       nullptr,
       false,
       Combine::Largest},
      {Job::Upload,
       "upload",
       Input::Devices,
       {"com", "device", "all", "from", "mode", "power-up", "mono", "on", "off", "no-verify"},
       kUploadHelp,
       false,
       false,
       nullptr,
       nullptr,
       false,
       nullptr,
       false,
       Combine::Largest},
      {Job::Fire,
       "fire",
       Input::Devices,
       {"com", "device", "all"},
       kFireHelp,
       false,
       false,
       nullptr,
       nullptr,
       false,
       nullptr,
       false,
       Combine::Largest},
      {Job::Scan,
       "scan",
       Input::Devices,
       {"com", "device", "all"},
       kScanHelp,
       true,
       true,
       nullptr,
       nullptr,
       true,
       "timer",
       false,
       Combine::AnyFound},
      {Job::Plan,
       "plan",
       Input::Inventory,
       {"out"},
       kPlanHelp,
       false,
       true,
       kPlanOne,
       kPlanMany,
       false,
       nullptr,
       true,
       Combine::FailureFirst},
      {Job::Apply,
       "apply",
       Input::Inventory,
       {"plan", "no-verify"},
       kApplyHelp,
       false,
       true,
       kApplyOne,
       kApplyMany,
       false,
       nullptr,
       false,
       Combine::Largest},
  };
  return commands;
}

const Command& CommandOf(Job job) {
  const std::vector<Command>& all = Commands();
  return *std::find_if(all.begin(), all.end(), [job](const Command& c) { return c.job == job; });
}

const Command* CommandNamed(const QString& name) {
  const std::vector<Command>& all = Commands();
  const auto found = std::find_if(all.begin(), all.end(),
                                  [&](const Command& c) { return name == QLatin1String(c.name); });
  return found == all.end() ? nullptr : &*found;
}

QStringList CommandOptions() {
  QStringList options;
  for (const Command& command : Commands()) {
    for (const char* option : command.options) {
      if (!options.contains(QLatin1String(option))) options << QLatin1String(option);
    }
  }
  return options;
}

bool Takes(const Command& command, const QString& option) {
  return std::any_of(command.options.begin(), command.options.end(),
                     [&](const char* own) { return option == QLatin1String(own); });
}
