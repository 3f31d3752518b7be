// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the window tells the operator about a device, in a message box.
// timerctl says the same words to a Spanish reader, through its translation
// (cli/translations/timerctl_es.ts), and its own English ones otherwise. The
// titles of the two link messages differ only in the accent, and both are meant.

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
