// SPDX-License-Identifier: GPL-3.0-or-later
#include "handlers/outcome.h"

QString OutcomeWord(const Outcome& outcome) {
  switch (outcome.skipped) {
    case Skipped::Refused:
      return QStringLiteral("refused");
    case Skipped::Busy:
      return QStringLiteral("busy");
    case Skipped::No:
      break;
  }
  return EndWord(outcome.end()).english();
}
