// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include "device/wait.h"

struct Form1;

// The device's reply wait on the window's port, letting the window's events
// run on every pass; ends as Unloaded once the window is unloaded. A command
// clicked meanwhile sees the wait in progress.
Reply ReplyWait(Form1& f, const QByteArray& answerChars, const QByteArray& initialText);
