// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct Form1;

void Option1_Click(Form1& f);
void Option2_Click(Form1& f);
