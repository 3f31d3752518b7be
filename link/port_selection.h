#pragma once

#include <QString>

struct Form1;

inline constexpr qint16 kPortCount = 16;

// The text of the port list's entry for port `number`: "Com1" .. "Com16".
QString PortEntry(qint16 number);

void Combo1_Click(Form1& f);
