// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <vector>

#include "cli/programmer.h"

// What serving one device holds open at the most: its port and the port's
// lock file, its thread's event loop, and a socket to look a server's name up.
inline constexpr int kDescriptorsPerDevice = 4;
// What the process keeps for itself beside those open when a run starts: the
// record, a plan being written, what Qt opens on the way.
inline constexpr int kDescriptorsKept = 32;

// Raises the process's soft limit on open descriptors to its hard limit.
void RaiseDescriptorLimit();
// How many devices the descriptors left can serve at once; at least one.
int DevicesAtOnce();

// Many devices, at most `atOnce` at a time, each on its own thread with its
// own port, session and wait; results in the order of `targets`. `progress`
// is told how many have finished, from the calling thread.
std::vector<DeviceResult> RunOnDevices(const std::vector<Target>& targets, const Request& request,
                                       const LineMaker& lines,
                                       const std::function<void(int done)>& progress = {},
                                       const DeviceDone& done = {}, int atOnce = DevicesAtOnce());
