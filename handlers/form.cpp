// SPDX-License-Identifier: GPL-3.0-or-later
#include "handlers/form.h"

#include "handlers/port_selection.h"
#include "link/port_map.h"
#include "link/serial_port.h"
#include "model/form1.h"
#include "model/texts.h"

void Form_Load(Form1& f) {
  WindowModel& w = f.m_view;
  f.puert = 1;
  f.Conecta = 1;
  w.setCaption(Ctl::Conectar, QString::fromUtf8(kConnectCaption));
  w.setStatusText(QString::fromUtf8(kUnlinked));
  w.setEnabled(Ctl::enviar, false);
  w.setEnabled(Ctl::fire, false);
  w.setEnabled(Ctl::segundos, false);
  w.setEnabled(Ctl::minutos, false);
  w.setEnabled(Ctl::horas, false);
  w.setEnabled(Ctl::segundos_on, false);
  w.setEnabled(Ctl::minutos_on, false);
  w.setEnabled(Ctl::horas_on, false);
  w.setEnabled(Ctl::segundos_off, false);
  w.setEnabled(Ctl::minutos_off, false);
  w.setEnabled(Ctl::horas_off, false);
  w.setEnabled(Ctl::Option1, false);
  w.setEnabled(Ctl::Option2, false);
  w.setEnabled(Ctl::Frame1, false);
  w.setValue(Ctl::Option3, true);
  w.setValue(Ctl::Option4, false);
  for (int n = 1; n <= kPortCount; ++n) w.addItem(Ctl::Combo1, PortEntry(n));
  w.setListIndex(Ctl::Combo1, 0);
  // Selecting the first entry counts as a choice of port.
  Combo1_Click(f);
}

void Form_Unload(Form1& f) {
  if (f.Conexion.isOpen()) f.Conexion.close();
  f.m_unloaded = true;
  f.m_view.EndProgram();
}

void Command1_Click(Form1& f) {
  if (f.Conexion.isOpen()) f.Conexion.close();
  f.m_view.Unload();
}
