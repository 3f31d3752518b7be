// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// timerctl --help, in the reader's language: the usage, each command's
// paragraph (cli/commands.cpp), the options, and the exit statuses, from
// which the manual page takes its EXIT STATUS.
QString HelpText();
