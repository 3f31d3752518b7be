#pragma once

#include "handlers/outcome.h"

struct Form1;

Outcome Conectar_Click(Form1& f);
