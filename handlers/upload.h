// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include "handlers/outcome.h"

struct Form1;

// The configuration string of the window's settings: mode letter, the nine
// time texts in the device's order and the power-up flag.
QByteArray ConfigurationString(Form1& f, char modeLetter);

Outcome enviar_Click(Form1& f);
