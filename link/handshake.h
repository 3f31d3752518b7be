#pragma once

#include <array>

#include "app/window_model.h"

struct Form1;

inline constexpr char kNoDeviceMessage[] = "El dispositivo no se encuentra";
inline constexpr char kNoDeviceTitle[] = "Conexion del TIMER";
inline constexpr char kPortUnavailableMessage[] = "El puerto no esta disponible";
inline constexpr char kPortUnavailableTitle[] = "Conexión del TIMER";

// The nine time fields in the order the device reads them back and takes them
// in a configuration: seconds, minutes, hours of the monostable, ON and OFF times.
inline constexpr std::array<Ctl, 9> kDeviceFieldOrder = {
    Ctl::segundos, Ctl::minutos,      Ctl::horas,       Ctl::segundos_on, Ctl::minutos_on,
    Ctl::horas_on, Ctl::segundos_off, Ctl::minutos_off, Ctl::horas_off,
};

void Conectar_Click(Form1& f);
