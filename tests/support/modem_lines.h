// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Linked into a test program, this stands in for the system's ioctl: it plays
// the modem-control lines (DTR, RTS...) that a pseudo-terminal lacks, and
// keeps every change the program asks for.

#include <vector>

struct ModemLineChange {
  unsigned long request;  // TIOCMBIS, TIOCMBIC or TIOCMSET
  int bits;               // TIOCM_DTR, TIOCM_RTS...
};

std::vector<ModemLineChange> TakeModemLineChanges();

// Whether `changes` leave `line` low, and whether any of them raised it.
bool LeftLow(const std::vector<ModemLineChange>& changes, int line);
bool Raised(const std::vector<ModemLineChange>& changes, int line);
