// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "handlers/outcome.h"

struct Form1;

Outcome enviar_Click(Form1& f);
