// SPDX-License-Identifier: GPL-3.0-or-later
#include "handlers/activation.h"

#include "device/protocol.h"
#include "handlers/command_link.h"
#include "handlers/reply_wait.h"
#include "link/serial_port.h"
#include "model/form1.h"
#include "model/texts.h"

Outcome fire_Click(Form1& f) {
  if (f.m_waits > 0) return OutcomeOf(Result::Busy);
  // A line that takes no command fails as a line that fails during the wait.
  if (!f.Conexion.output(QByteArray(kFire)) || !f.Conexion.clearInBuffer()) {
    return CommandUnanswered(f, WaitEnd::PortFailed);
  }
  const WaitEnd end = ReplyWait(f, QByteArray(kFireAnswer), QByteArray(kFireReplyStart)).end;
  if (end != WaitEnd::AnswerSeen) return CommandUnanswered(f, end);
  // A successful activation shows nothing.
  RestateLink(f);
  return {};
}
