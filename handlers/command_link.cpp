// SPDX-License-Identifier: GPL-3.0-or-later
#include "handlers/command_link.h"

#include "link/serial_port.h"
#include "model/form1.h"
#include "model/texts.h"

void RestateLink(Form1& f) {
  WindowModel& w = f.m_view;
  w.setStatusText(QString::fromUtf8(kLinked));
  w.setCaption(Ctl::Conectar, QString::fromUtf8(kDisconnectCaption));
  f.Conecta = 0;
  w.setEnabled(Ctl::Conectar, true);
  w.setEnabled(Ctl::enviar, true);
}

void DropLinkWithMessage(Form1& f, const Message& message) {
  WindowModel& w = f.m_view;
  Show(w, message);
  f.Conexion.close();
  f.Conecta = 1;
  w.setEnabled(Ctl::Conectar, true);
  w.setEnabled(Ctl::enviar, false);
  w.setStatusText(QString::fromUtf8(kUnlinked));
  w.setCaption(Ctl::Conectar, QString::fromUtf8(kConnectCaption));
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
}

Outcome CommandUnanswered(Form1& f, const Reply& reply) {
  switch (reply.end) {
    case End::NoAnswer:
      DropLinkWithMessage(f, kNoDevice);
      break;
    case End::PortUnavailable:
      DropLinkWithMessage(f, kPortUnavailable);
      break;
    case End::Answered:
    case End::PortClosed:
    case End::Unloaded:
    case End::Echo:
      break;
  }
  return Outcome{reply};
}

Outcome CommandNotSent(Form1& f) {
  return CommandUnanswered(f, Unavailable(f.Conexion, true));
}
