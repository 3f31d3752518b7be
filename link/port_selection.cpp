#include "link/port_selection.h"

#include "app/form1.h"

QString PortEntry(qint16 number) {
  return QStringLiteral("Com%1").arg(number);
}

void Combo1_Click(Form1& f) {
  WindowModel& w = f.m_view;
  f.puert = static_cast<qint16>(w.listIndex(Ctl::Combo1) + 1);
  if (!f.Conexion.isOpen()) return;

  f.Conexion.close();
  f.Conecta = 1;
  w.setCaption(Ctl::Conectar, QStringLiteral("Conectar"));
  w.setStatusText(QStringLiteral("Desconectado"));
  w.setEnabled(Ctl::enviar, false);
  w.setEnabled(Ctl::fire, false);
  w.setEnabled(Ctl::segundos, false);
  w.setEnabled(Ctl::minutos, false);
  w.setEnabled(Ctl::horas, false);
}
