// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct Form1;
struct Message;

// What the upload and the activation write after the device's answer, and
// after its silence or a failed line: the same lists in both commands.

// Restates the linked state that the handshake set up.
void RestateLink(Form1& f);
// Shows `message`, closes the port and writes the unlinked state.
void DropLinkWithMessage(Form1& f, const Message& message);
