// SPDX-License-Identifier: GPL-3.0-or-later
#include "handlers/upload.h"

#include "handlers/command_link.h"
#include "handlers/field_check.h"
#include "handlers/reply_wait.h"
#include "link/serial_port.h"
#include "model/form1.h"
#include "model/protocol.h"
#include "model/texts.h"

QByteArray ConfigurationString(Form1& f, char modeLetter) {
  QByteArray text(1, modeLetter);
  for (Ctl field : kDeviceFieldOrder) text += f.m_view.text(field).toLatin1();
  text += f.m_view.value(Ctl::Option3) ? kPowerUpOn : kPowerUpOff;
  return text;
}

Outcome enviar_Click(Form1& f) {
  if (f.m_waits > 0) return OutcomeOf(Result::Busy);
  WindowModel& w = f.m_view;

  char mode = 0;
  if (w.value(Ctl::Option1)) {
    mode = kMonostableLetter;
  } else if (w.value(Ctl::Option2)) {
    mode = kBistableLetter;
  }
  bool sent = true;
  if (mode != 0) {
    // Every field goes through its check first, so that what is sent is
    // always twenty characters of the right form, whatever the read-back left.
    for (Ctl field : kDeviceFieldOrder) {
      if (!FieldCheck(f, field)) return OutcomeOf(Result::Refused);
    }
    sent = f.Conexion.output(ConfigurationString(f, mode));
  }
  // A line that takes no command fails as a line that fails during the wait.
  if (!sent || !f.Conexion.clearInBuffer()) return CommandUnanswered(f, WaitEnd::PortFailed);
  const WaitEnd end = ReplyWait(f, QByteArray(kUploadAnswers), QByteArray(kUploadReplyStart)).end;
  if (end != WaitEnd::AnswerSeen) return CommandUnanswered(f, end);
  RestateLink(f);
  Show(w, kUploadDone);
  return {};
}
