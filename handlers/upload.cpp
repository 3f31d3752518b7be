// SPDX-License-Identifier: GPL-3.0-or-later
#include "handlers/upload.h"

#include "device/protocol.h"
#include "device/read_back.h"
#include "handlers/command_link.h"
#include "handlers/field_check.h"
#include "handlers/window_wait.h"
#include "link/serial_port.h"
#include "model/form1.h"
#include "model/texts.h"
#include "model/time_fields.h"

Outcome enviar_Click(Form1& f) {
  if (f.m_waits > 0) return SkippedAs(Skipped::Busy);
  WindowModel& w = f.m_view;

  bool sent = true;
  if (w.value(Ctl::Option1) || w.value(Ctl::Option2)) {
    // Every field goes through its check first, so that what is sent is
    // always twenty characters of the right form, whatever the read-back left.
    for (Ctl field : kDeviceFieldOrder) {
      if (!FieldCheck(f, field)) return SkippedAs(Skipped::Refused);
    }
    sent = f.Conexion.output(ConfigurationString(!w.value(Ctl::Option1), ShownConfiguration(w)));
  }
  // A line that takes no command fails as a line that fails during the wait.
  if (!sent || !f.Conexion.clearInBuffer()) return CommandNotSent(f);
  const Reply reply = ReplyWait(f, QByteArray(kUploadAnswers), QByteArray(kUploadReplyStart));
  if (!reply.answered()) return CommandUnanswered(f, reply);
  RestateLink(f);
  Show(w, kUploadDone);
  return Outcome{reply};
}
