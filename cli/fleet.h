// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <vector>

#include "cli/programmer.h"

// Many devices, kMostAtOnce at a time at the most, each on its own thread
// with its own port, session and wait; results in the order of `targets`.
// `progress` is told how many have finished, from the calling thread.
inline constexpr int kMostAtOnce = 64;
std::vector<DeviceResult> RunOnDevices(const std::vector<Target>& targets, const Request& request,
                                       const LineMaker& lines,
                                       const std::function<void(int done)>& progress = {},
                                       const DeviceDone& done = {});
