// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The user's settings file, which the window and timerctl both read: its
// [ports] group is the port map (link/port_config), its [log] group the
// window's programming record. $XDG_CONFIG_HOME/timer-rs232/timer-rs232.conf,
// ~/.config by default.
QString SettingsFilePath();
