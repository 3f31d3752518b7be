// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// What the files a program must not lose share: every byte written, and the
// system's own words when it fails.

// Every byte of `bytes` to the descriptor, however the system splits the
// write; false with errno set when it cannot.
bool WriteAll(int fd, const QByteArray& bytes);
// "PATH: the system's words for errno" ("plan.jsonl: No space left on device").
QString SystemError(const QString& path);
