#pragma once

struct Form1;

void Combo1_Click(Form1& f);
