// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>

// Why a port could not be opened or failed, for whoever reads stderr.
Q_DECLARE_LOGGING_CATEGORY(lcLine)
