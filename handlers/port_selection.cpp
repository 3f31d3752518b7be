// SPDX-License-Identifier: GPL-3.0-or-later
#include "handlers/port_selection.h"

#include "link/serial_port.h"
#include "model/form1.h"
#include "model/texts.h"

void Combo1_Click(Form1& f) {
  WindowModel& w = f.m_view;
  f.puert = static_cast<qint16>(w.listIndex(Ctl::Combo1) + 1);
  if (!f.Conexion.isOpen()) return;

  f.Conexion.close();
  f.Conecta = 1;
  w.setCaption(Ctl::Conectar, QString::fromUtf8(kConnectCaption));
  w.setStatusText(QString::fromUtf8(kUnlinked));
  w.setEnabled(Ctl::enviar, false);
  w.setEnabled(Ctl::fire, false);
  w.setEnabled(Ctl::segundos, false);
  w.setEnabled(Ctl::minutos, false);
  w.setEnabled(Ctl::horas, false);
}
