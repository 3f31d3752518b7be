// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the operator is told about a device, by the window in a message box and
// by timerctl on stderr: the same words in both. The titles of the two link
// messages differ only in the accent, and both are meant.

enum class MsgIcon { Error, Information };

// A modal message box: prompt, title and icon, with one OK button.
struct Message {
  const char* prompt;  // UTF-8
  const char* title;   // UTF-8
  MsgIcon icon;
};

inline constexpr Message kNoDevice{"El dispositivo no se encuentra", "Conexion del TIMER",
                                   MsgIcon::Error};
inline constexpr Message kPortUnavailable{"El puerto no esta disponible", "Conexión del TIMER",
                                          MsgIcon::Error};
inline constexpr Message kHoursRange{"El valor debe estar entre 0 y 99", "Configuración del TIMER",
                                     MsgIcon::Error};
inline constexpr Message kMinutesSecondsRange{"El valor debe estar entre 0 y 59",
                                              "Configuración del TIMER", MsgIcon::Error};
inline constexpr Message kUploadDone{"La configuración del TIMER se realizó con exito",
                                     "Configuración del TIMER", MsgIcon::Information};
