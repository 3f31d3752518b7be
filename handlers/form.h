// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct Form1;

void Form_Load(Form1& f);
void Form_Unload(Form1& f);
void Command1_Click(Form1& f);
