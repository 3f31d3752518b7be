// SPDX-License-Identifier: GPL-3.0-or-later
#include "handlers/activation.h"

#include "device/protocol.h"
#include "handlers/command_link.h"
#include "handlers/window_wait.h"
#include "link/serial_port.h"
#include "model/form1.h"
#include "model/texts.h"

Outcome fire_Click(Form1& f) {
  if (f.m_waits > 0) return SkippedAs(Skipped::Busy);
  if (!f.Conexion.output(QByteArray(kFire)) || !f.Conexion.clearInBuffer())
    return CommandNotSent(f);
  const Reply reply = ReplyWait(f, QByteArray(kFireAnswer), QByteArray(kFireReplyStart));
  if (!reply.answered()) return CommandUnanswered(f, reply);
  // A successful activation shows nothing.
  RestateLink(f);
  return Outcome{reply};
}
