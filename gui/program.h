// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIODevice>

#include <memory>

#include "device/event_loop_clock.h"
#include "gui/main_window.h"
#include "gui/options.h"
#include "gui/window_record.h"
#include "link/adapters.h"
#include "link/com_port.h"
#include "link/tracing_port.h"
#include "model/form1.h"

// Names, version, icon and desktop file of the application (QApplication exists).
void SetApplicationInfo();

// The program's parts, wired: the serial port of the port map, the wait's
// clock, the window and its handlers; with `trace`, every byte sent and
// received is written there. Start() loads and shows the window.
class Program {
 public:
  explicit Program(const Options& options, QIODevice* trace = nullptr);
  void Start();
  MainWindow& window() { return m_window; }

 private:
  SerialPort& line(QIODevice* trace);
  void refreshPorts();

  // No --port and no configuration file: the system's ports, asked for once
  // the window is up.
  bool m_systemPorts = false;
  // What the system said of its serial ports when last asked: at the start,
  // when a port is chosen, and at each link while Com numbers follow them.
  Adapters m_adapters;
  ComPort m_port;
  std::unique_ptr<TracingPort> m_tracer;
  EventLoopClock m_clock;
  MainWindow m_window;
  Form1 m_form;
  WindowRecord m_record{m_window, m_form, m_port.portMap(), m_adapters};
  QString m_recordFile;
};
