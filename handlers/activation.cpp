// SPDX-License-Identifier: GPL-3.0-or-later
#include "handlers/activation.h"

#include "handlers/command_link.h"
#include "handlers/reply_wait.h"
#include "link/serial_port.h"
#include "model/form1.h"
#include "model/protocol.h"
#include "model/texts.h"

Outcome fire_Click(Form1& f) {
  if (f.m_waits > 0) return OutcomeOf(Result::Busy);
  if (!f.Conexion.output(QByteArray(kFire)) || !f.Conexion.clearInBuffer()) {
    const Outcome lost = PortUnavailableOutcome(f.Conexion);
    DropLinkWithMessage(f, kPortUnavailable);
    return lost;
  }

  switch (ReplyWait(f, QByteArray(kFireAnswer), QByteArray(kFireReplyStart)).end) {
    case WaitEnd::AnswerSeen:
      // A successful activation shows nothing.
      RestateLink(f);
      return {};
    case WaitEnd::NoAnswer:
      DropLinkWithMessage(f, kNoDevice);
      return OutcomeOf(Result::NoAnswer);
    case WaitEnd::PortFailed: {
      const Outcome lost = PortUnavailableOutcome(f.Conexion);
      DropLinkWithMessage(f, kPortUnavailable);
      return lost;
    }
    case WaitEnd::PortClosed:
      return OutcomeOf(Result::PortClosed);
    case WaitEnd::Unloaded:
      break;
  }
  return OutcomeOf(Result::Unloaded);
}
