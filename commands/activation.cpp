#include "commands/activation.h"

#include "app/form1.h"
#include "link/handshake.h"
#include "link/reply_wait.h"

namespace {

// Used for silence and, with the port's own message, for a line that failed.
void DropLink(Form1& f, const char* message, const char* title) {
  WindowModel& w = f.m_view;
  w.MsgBox(QString::fromUtf8(message), QString::fromUtf8(title), MsgIcon::Error);
  f.Conexion.close();
  f.Conecta = 1;
  w.setEnabled(Ctl::Conectar, true);
  w.setEnabled(Ctl::enviar, false);
  w.setStatusText(QStringLiteral("Desconectado"));
  w.setCaption(Ctl::Conectar, QStringLiteral("Conectar"));
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

// Restates the linked state; a successful activation shows nothing.
void Restate(Form1& f) {
  WindowModel& w = f.m_view;
  w.setStatusText(QStringLiteral("Conectado"));
  w.setCaption(Ctl::Conectar, QStringLiteral("Desconectar"));
  f.Conecta = 0;
  w.setEnabled(Ctl::Conectar, true);
  w.setEnabled(Ctl::enviar, true);
}

}  // namespace

void fire_Click(Form1& f) {
  if (f.m_waits > 0) return;
  if (!f.Conexion.output(QByteArrayLiteral("E")) || !f.Conexion.clearInBuffer()) {
    DropLink(f, kPortUnavailableMessage, kPortUnavailableTitle);
    return;
  }

  switch (ReplyWait(f, QByteArrayLiteral("E"), QByteArrayLiteral(" ")).end) {
    case WaitEnd::AnswerSeen:
      Restate(f);
      break;
    case WaitEnd::NoAnswer:
      DropLink(f, kNoDeviceMessage, kNoDeviceTitle);
      break;
    case WaitEnd::PortFailed:
      DropLink(f, kPortUnavailableMessage, kPortUnavailableTitle);
      break;
    case WaitEnd::PortClosed:
    case WaitEnd::Unloaded:
      break;
  }
}
