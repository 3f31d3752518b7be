// SPDX-License-Identifier: GPL-3.0-or-later
#include "handlers/connect.h"

#include "device/protocol.h"
#include "device/read_back.h"
#include "handlers/reply_wait.h"
#include "link/serial_port.h"
#include "model/form1.h"
#include "model/texts.h"
#include "model/time_fields.h"

namespace {

Outcome PortErrorPath(Form1& f) {
  Show(f.m_view, kPortUnavailable);
  Outcome outcome = PortUnavailableOutcome(f.Conexion);
  // A failure after the opening must not leave the port held or the button
  // dead, or every later click would fail the same way.
  if (f.Conexion.isOpen()) f.Conexion.close();
  f.Conecta = 1;
  f.m_view.setEnabled(Ctl::Conectar, true);
  return outcome;
}

class OpeningScope {
 public:
  explicit OpeningScope(bool& opening) : m_opening(opening) { m_opening = true; }
  ~OpeningScope() { m_opening = false; }
  OpeningScope(const OpeningScope&) = delete;
  OpeningScope& operator=(const OpeningScope&) = delete;

 private:
  bool& m_opening;
};

void SuccessSteps(Form1& f, const QByteArray& reply) {
  WindowModel& w = f.m_view;
  w.setStatusText(QString::fromUtf8(kLinked));
  w.setCaption(Ctl::Conectar, QString::fromUtf8(kDisconnectCaption));
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
  const TimerConfig readBack = ReadBackAtStart(reply);
  ShowTimes(w, readBack);
  if (*readBack.powerUpOn) {
    w.setValue(Ctl::Option3, true);
    w.setValue(Ctl::Option4, false);
  } else {
    w.setValue(Ctl::Option3, false);
    w.setValue(Ctl::Option4, true);
  }
}

void NoAnswerPath(Form1& f) {
  Show(f.m_view, kNoDevice);
  f.Conexion.close();
  f.Conecta = 1;
  f.m_view.setEnabled(Ctl::Conectar, true);
}

Outcome Connect(Form1& f) {
  if (f.m_opening) return OutcomeOf(Result::Busy);
  SerialPort& port = f.Conexion;
  const quint64 before = port.opening();
  bool opened = false;
  {
    const OpeningScope scope(f.m_opening);
    opened = port.setCommPort(f.puert) && port.setSettings(kLineSettings) && port.open();
  }
  if (!opened && f.m_unloaded) return OutcomeOf(Result::Unloaded);
  // A port change closed the port while it was being opened: as under a wait,
  // whoever closed it has written its own changes.
  if (!opened && port.opening() != before) return OutcomeOf(Result::PortClosed);
  if (!opened || !port.clearInBuffer() || !port.output(QByteArray(kProbe))) {
    return PortErrorPath(f);
  }
  f.m_view.setEnabled(Ctl::Conectar, false);

  const WaitResult wait = ReplyWait(f, QByteArray(kProbeAnswer), QByteArray(kProbeReplyStart));
  switch (wait.end) {
    case WaitEnd::AnswerSeen:
      SuccessSteps(f, wait.reply);
      return {};
    case WaitEnd::NoAnswer:
      NoAnswerPath(f);
      return OutcomeOf(Result::NoAnswer);
    case WaitEnd::PortFailed:
      return PortErrorPath(f);
    case WaitEnd::PortClosed:
      // Whoever closed the port has already written its own changes; only the
      // button that this handler disabled is ours to give back.
      f.m_view.setEnabled(Ctl::Conectar, true);
      return OutcomeOf(Result::PortClosed);
    case WaitEnd::Unloaded:
      break;
  }
  return OutcomeOf(Result::Unloaded);
}

void Disconnect(Form1& f) {
  WindowModel& w = f.m_view;
  f.Conexion.close();
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
}

}  // namespace

Outcome Conectar_Click(Form1& f) {
  if (f.Conecta != 0) return Connect(f);
  Disconnect(f);
  return {};
}

Outcome Conexion_OnComm(Form1& f) {
  if (f.m_waits > 0 || f.Conecta != 0 || !f.Conexion.isOpen()) return {};
  Show(f.m_view, kPortUnavailable);
  if (f.m_unloaded) return OutcomeOf(Result::Unloaded);
  Outcome outcome = PortUnavailableOutcome(f.Conexion);
  Disconnect(f);
  return outcome;
}
