// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "device/messages.h"
#include "model/window_model.h"

// Every text the window shows, besides the messages about the device.

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
