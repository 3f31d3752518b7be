// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct Form1;

void Combo1_Click(Form1& f);
