// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>

// The program's own icon: a clock face with a red rim, drawn at 16 and 32 pixels.
QIcon AppIcon();
