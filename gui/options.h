// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include "link/port_map.h"

struct Options {
  // Set when the command line asks to print something and end, or is wrong.
  bool exit = false;
  int exitCode = 0;
  QString output;  // for stdout (help, version)
  QString error;   // for stderr

  // The given --port numbers; empty when none was given.
  PortMap ports;
  // --trace: where every byte sent and received is written; empty: nowhere.
  QString traceFile;
  // --log: the programming record; empty: the configuration file's [log] file.
  QString recordFile;
};

// Reads the program's command line (arguments[0] is the program).
Options ParseOptions(const QStringList& arguments);

// The programming record's file, [log] file= of the settings file, or an
// empty text.
QString RecordFileSetting();
