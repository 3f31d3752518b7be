// SPDX-License-Identifier: GPL-3.0-or-later
#include "handlers/connect.h"

#include "device/protocol.h"
#include "device/read_back.h"
#include "handlers/window_wait.h"
#include "link/serial_port.h"
#include "model/form1.h"
#include "model/texts.h"
#include "model/time_fields.h"

namespace {

Outcome PortErrorPath(Form1& f) {
  Show(f.m_view, kPortUnavailable);
  Outcome outcome{Unavailable(f.Conexion, false)};
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
  if (f.m_opening) return SkippedAs(Skipped::Busy);
  SerialPort& port = f.Conexion;
  const quint64 before = port.opening();
  bool opened = false;
  {
    const OpeningScope scope(f.m_opening);
    opened = port.setCommPort(f.puert) && port.setSettings(kLineSettings) && port.open();
  }
  if (!opened && f.m_unloaded) return EndedAs(End::Unloaded);
  // A port change closed the port while it was being opened: as under a wait,
  // whoever closed it has written its own changes.
  if (!opened && port.opening() != before) return EndedAs(End::PortClosed);
  if (!opened || !port.clearInBuffer() || !port.output(QByteArray(kProbe))) {
    return PortErrorPath(f);
  }
  f.m_view.setEnabled(Ctl::Conectar, false);

  const Reply reply = ReplyWait(f, QByteArray(kProbeAnswer), QByteArray(kProbeReplyStart));
  switch (reply.end) {
    case End::Answered:
      SuccessSteps(f, reply.bytes);
      break;
    case End::NoAnswer:
      NoAnswerPath(f);
      break;
    case End::PortUnavailable:
      return PortErrorPath(f);
    case End::PortClosed:
      // Whoever closed the port has already written its own changes; only the
      // button that this handler disabled is ours to give back.
      f.m_view.setEnabled(Ctl::Conectar, true);
      break;
    case End::Unloaded:
    case End::Echo:
      break;
  }
  return Outcome{reply};
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
  if (f.m_unloaded) return EndedAs(End::Unloaded);
  Outcome outcome{Unavailable(f.Conexion, true)};
  Disconnect(f);
  return outcome;
}
