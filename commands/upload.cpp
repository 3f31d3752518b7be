#include "commands/upload.h"

#include "app/form1.h"
#include "link/handshake.h"
#include "link/reply_wait.h"
#include "settings/field_check.h"

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

void Confirm(Form1& f) {
  WindowModel& w = f.m_view;
  w.setStatusText(QStringLiteral("Conectado"));
  w.setCaption(Ctl::Conectar, QStringLiteral("Desconectar"));
  f.Conecta = 0;
  w.setEnabled(Ctl::Conectar, true);
  w.setEnabled(Ctl::enviar, true);
  w.MsgBox(QString::fromUtf8(kUploadDoneMessage), QString::fromUtf8(kFieldTitle),
           MsgIcon::Information);
}

}  // namespace

QByteArray ConfigurationString(Form1& f, char modeLetter) {
  QByteArray text(1, modeLetter);
  for (Ctl field : kDeviceFieldOrder) text += f.m_view.text(field).toLatin1();
  text += f.m_view.value(Ctl::Option3) ? '1' : '0';
  return text;
}

void enviar_Click(Form1& f) {
  if (f.m_waits > 0) return;
  WindowModel& w = f.m_view;

  char mode = 0;
  if (w.value(Ctl::Option1)) {
    mode = 'T';
  } else if (w.value(Ctl::Option2)) {
    mode = 'S';
  }
  bool sent = true;
  if (mode != 0) {
    // Every field goes through its check first, so that what is sent is
    // always twenty characters of the right form, whatever the read-back left.
    for (Ctl field : kDeviceFieldOrder) {
      if (!FieldCheck(f, field)) return;
    }
    sent = f.Conexion.output(ConfigurationString(f, mode));
  }
  if (!sent || !f.Conexion.clearInBuffer()) {
    DropLink(f, kPortUnavailableMessage, kPortUnavailableTitle);
    return;
  }

  switch (ReplyWait(f, QByteArrayLiteral("ST"), QByteArray()).end) {
    case WaitEnd::AnswerSeen:
      Confirm(f);
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
