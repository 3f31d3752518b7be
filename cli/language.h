// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QCoreApplication;

// The locale whose language people read, as POSIX orders the variables:
// LC_ALL, then LC_MESSAGES, then LANG; the first one set decides.
QString MessagesLocale();

// Speaks Spanish to people when their messages' locale is Spanish ("es",
// "es_ES.UTF-8", "es_MX"...). Scripts' words, and the system's, stay English
// in every locale.
void SpeakPeoplesLanguage(QCoreApplication& app);
