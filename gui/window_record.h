// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "device/record.h"

class Adapters;
class MainWindow;
class PortMap;
struct Form1;
struct Outcome;

// The window's exchanges in the programming record: each link with its
// read-back, each upload with what was sent, each activation, each line lost.
// A record that cannot be written is said in the status bar and on stderr,
// and the window carries on.
class WindowRecord {
 public:
  // `adapters` is what the system said of its ports when last asked.
  WindowRecord(MainWindow& window, const Form1& f, const PortMap& ports, const Adapters& adapters);

  // Opens `path`; an empty path records nothing.
  void open(const QString& path);
  void told(const char* exchange, const Outcome& outcome);

 private:
  void failed(const QString& error);

  MainWindow& m_window;
  const Form1& m_form;
  const PortMap& m_ports;
  const Adapters& m_adapters;
  RecordFile m_record;
};
