#pragma once

struct Form1;

void fire_Click(Form1& f);
