// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "handlers/outcome.h"

struct Form1;

Outcome Conectar_Click(Form1& f);

// The line went away (the adapter unplugged, the connection dropped): while
// linked and idle, says so once and unlinks as the disconnect branch does. A
// wait in progress takes the failure through its own port-failed path.
Outcome Conexion_OnComm(Form1& f);
