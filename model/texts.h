// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "model/port_fault.h"
#include "model/window_model.h"

// Every text the program shows, as the operator reads it. The titles of the
// two link messages differ only in the accent, and both are meant.

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

inline void Show(WindowModel& w, const Message& message) {
  w.MsgBox(QString::fromUtf8(message.prompt), QString::fromUtf8(message.title), message.icon);
}

inline constexpr char kWindowTitle[] = "Varnelta   - TIMER RS232 -";

// The status bar's first panel and the caption of `Conectar`.
inline constexpr char kLinked[] = "Conectado";
inline constexpr char kUnlinked[] = "Desconectado";
inline constexpr char kConnectCaption[] = "Conectar";
inline constexpr char kDisconnectCaption[] = "Desconectar";

// What a time field holds after the check resets it.
inline constexpr char kZeroTime[] = "00";

// The port list's entry for port `number`: "Com1" .. "Com16".
inline QString PortEntry(int number) {
  return QStringLiteral("Com%1").arg(number);
}

// The status bar's second panel: what a Com number reaches.
inline constexpr char kNoDeviceBehind[] = "sin dispositivo";
inline constexpr char kPathMissing[] = "(no existe)";

// Why a port is not available, for the status bar's second panel: the
// message box says only that it is not.
inline QString FaultText(PortFault fault) {
  switch (fault) {
    case PortFault::None:
      break;
    case PortFault::NoDevice:
      return QString::fromUtf8(kNoDeviceBehind);
    case PortFault::Missing:
      return QStringLiteral("no existe o está desconectado");
    case PortFault::PermissionDenied:
      return QStringLiteral("sin permiso: el usuario debe estar en el grupo dialout");
    case PortFault::Busy:
      return QStringLiteral("en uso por otro programa");
    case PortFault::Unplugged:
      return QStringLiteral("el adaptador se desconectó");
    case PortFault::Refused:
      return QStringLiteral("red: conexión rechazada");
    case PortFault::HostNotFound:
      return QStringLiteral("red: servidor no encontrado");
    case PortFault::NoResponse:
      return QStringLiteral("red: sin respuesta");
    case PortFault::ConnectionLost:
      return QStringLiteral("red: conexión perdida");
    case PortFault::Other:
      return QStringLiteral("error del puerto");
  }
  return {};
}
