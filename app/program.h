#pragma once

#include "app/main_window.h"
#include "app/options.h"
#include "link/event_loop_clock.h"
#include "link/com_port.h"
#include "model/form1.h"

// Names, version, icon and desktop file of the application (QApplication exists).
void SetApplicationInfo();

// The program's parts, wired: the serial port of the port map, the wait's
// clock, the window and its handlers. Start() loads and shows the window.
class Program {
 public:
  explicit Program(const Options& options);
  void Start();
  MainWindow& window() { return m_window; }

 private:
  ComPort m_port;
  EventLoopClock m_clock;
  MainWindow m_window;
  Form1 m_form{m_window, m_port, m_clock};
};
