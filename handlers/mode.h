#pragma once

struct Form1;

void Option1_Click(Form1& f);
void Option2_Click(Form1& f);
