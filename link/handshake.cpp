#include "link/handshake.h"

#include "app/form1.h"
#include "link/reply_wait.h"

namespace {

// Mid$(text, position, 2) with 1-based positions: what is left where the text
// ends early, and an empty text beyond its end.
QString ReplyPair(const QByteArray& reply, int position) {
  return QString::fromLatin1(reply.mid(position - 1, 2));
}

void PortErrorPath(Form1& f) {
  f.m_view.MsgBox(QString::fromUtf8(kPortUnavailableMessage),
                  QString::fromUtf8(kPortUnavailableTitle), MsgIcon::Error);
  // A failure after the opening must not leave the port held or the button
  // dead, or every later click would fail the same way.
  if (f.Conexion.isOpen()) f.Conexion.close();
  f.Conecta = 1;
  f.m_view.setEnabled(Ctl::Conectar, true);
}

void SuccessSteps(Form1& f, const QByteArray& reply) {
  WindowModel& w = f.m_view;
  w.setStatusText(QStringLiteral("Conectado"));
  w.setCaption(Ctl::Conectar, QStringLiteral("Desconectar"));
  f.Conecta = 0;
  w.setEnabled(Ctl::fire, true);
  w.setEnabled(Ctl::Conectar, true);
  w.setEnabled(Ctl::enviar, true);
  w.setEnabled(Ctl::Option1, true);
  w.setEnabled(Ctl::Option2, true);
  w.setValue(Ctl::Option1, true);
  w.setValue(Ctl::Option2, false);
  w.setEnabled(Ctl::segundos, true);
  w.setEnabled(Ctl::minutos, true);
  w.setEnabled(Ctl::horas, true);
  w.setEnabled(Ctl::segundos_on, false);
  w.setEnabled(Ctl::minutos_on, false);
  w.setEnabled(Ctl::horas_on, false);
  w.setEnabled(Ctl::segundos_off, false);
  w.setEnabled(Ctl::minutos_off, false);
  w.setEnabled(Ctl::horas_off, false);
  w.setEnabled(Ctl::Frame1, false);
  // The device's characters follow the initial blank: field i starts at 2 + 2i.
  int position = 2;
  for (Ctl field : kDeviceFieldOrder) {
    w.setText(field, ReplyPair(reply, position));
    position += 2;
  }
  // The power-up flag is the next-to-last character, wherever the "Y" stands.
  if (reply.at(reply.size() - 2) == '1') {
    w.setValue(Ctl::Option3, true);
    w.setValue(Ctl::Option4, false);
  } else {
    w.setValue(Ctl::Option3, false);
    w.setValue(Ctl::Option4, true);
  }
}

void NoAnswerPath(Form1& f) {
  f.m_view.MsgBox(QString::fromUtf8(kNoDeviceMessage), QString::fromUtf8(kNoDeviceTitle),
                  MsgIcon::Error);
  f.Conexion.close();
  f.Conecta = 1;
  f.m_view.setEnabled(Ctl::Conectar, true);
}

void Connect(Form1& f) {
  SerialPort& port = f.Conexion;
  if (!port.setCommPort(f.puert) || !port.setSettings(QString::fromLatin1(kLineSettings)) ||
      !port.open() || !port.clearInBuffer() || !port.output(QByteArrayLiteral("Y"))) {
    PortErrorPath(f);
    return;
  }
  f.m_view.setEnabled(Ctl::Conectar, false);

  const WaitResult wait = ReplyWait(f, QByteArrayLiteral("Y"), QByteArrayLiteral(" "));
  switch (wait.end) {
    case WaitEnd::AnswerSeen:
      SuccessSteps(f, wait.reply);
      break;
    case WaitEnd::NoAnswer:
      NoAnswerPath(f);
      break;
    case WaitEnd::PortFailed:
      PortErrorPath(f);
      break;
    case WaitEnd::PortClosed:
      // Whoever closed the port has already written its own changes; only the
      // button that this handler disabled is ours to give back.
      f.m_view.setEnabled(Ctl::Conectar, true);
      break;
    case WaitEnd::Unloaded:
      break;
  }
}

void Disconnect(Form1& f) {
  WindowModel& w = f.m_view;
  f.Conexion.close();
  f.Conecta = 1;
  w.setCaption(Ctl::Conectar, QStringLiteral("Conectar"));
  w.setStatusText(QStringLiteral("Desconectado"));
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
}

}  // namespace

void Conectar_Click(Form1& f) {
  if (f.Conecta != 0) {
    Connect(f);
  } else {
    Disconnect(f);
  }
}
