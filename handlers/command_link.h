// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "handlers/outcome.h"

struct Form1;
struct Message;

// What the upload and the activation write after the device's answer, and
// after its silence or a failed line: the same lists in both commands.

// Restates the linked state that the handshake set up.
void RestateLink(Form1& f);
// Shows `message`, closes the port and writes the unlinked state.
void DropLinkWithMessage(Form1& f, const Message& message);

// A command whose wait ended without its answer: silence or a failed line
// drop the link with their message; a port closed under the wait, or a
// closed window, leave everything to whoever did it.
Outcome CommandUnanswered(Form1& f, const Reply& reply);
// A command the line would not take fails as a line that fails during the wait.
Outcome CommandNotSent(Form1& f);
