#pragma once

#include <QByteArray>

struct Form1;

inline constexpr char kUploadDoneMessage[] = "La configuración del TIMER se realizó con exito";

// The configuration string of the window's settings: mode letter, the nine
// time texts in the device's order and the power-up flag.
QByteArray ConfigurationString(Form1& f, char modeLetter);

void enviar_Click(Form1& f);
