#pragma once

#include "handlers/outcome.h"

struct Form1;

Outcome fire_Click(Form1& f);
