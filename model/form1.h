// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

class SerialPort;
class WaitClock;
class WindowModel;

// The window-level state shared by every handler: the window, the serial
// port `Conexion` and the two window-level variables. The port and the clock
// are only named here; the handlers see their interfaces from link/.
struct Form1 {
  Form1(WindowModel& view, SerialPort& port, WaitClock& clock)
      : m_view(view), Conexion(port), m_clock(clock) {}

  WindowModel& m_view;
  SerialPort& Conexion;
  WaitClock& m_clock;

  qint16 Conecta = 1;
  qint16 puert = 1;

  // Set by the unload handler: from then on no suspended handler may resume.
  bool m_unloaded = false;
  // Reply waits in progress; a command clicked inside one starts no exchange
  // of its own, or it would take the outer command's answer.
  int m_waits = 0;
  // The connect branch is opening the port (a network connection lets the
  // window's events run meanwhile): a second click starts no second one.
  bool m_opening = false;
};
