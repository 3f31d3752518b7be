// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's real parts: the Qt window, QSerialPort and the event-loop clock.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

#include <QTest>

#include <functional>

#include "gui/main_window.h"
#include "gui/wiring.h"
#include "handlers/form.h"
#include "link/com_port.h"
#include "link/event_loop_clock.h"
#include "model/form1.h"
#include "support/fakes.h"
#include "support/qt_printers.h"

// Com1 designates `path`; no other number designates a device.
inline PortMap MapCom1To(const QString& path) {
  PortMap map;
  map.set(1, path);
  return map;
}

struct WindowRig {
  explicit WindowRig(const PortMap& map = {}) : port(map) {
    ConnectHandlers(window, form, port.portMap(), {[this] { port.refresh(); }, {}});
    Form_Load(form);
    ShowChosenDevice(window, form, port.portMap());
  }

  ComPort port;
  EventLoopClock clock;
  MainWindow window;
  Form1 form{window, port, clock};
};

// The real Qt window over a scripted device and simulated time: real focus,
// real clicks, and a protocol the test decides.
struct WidgetRig {
  WidgetRig() {
    ConnectHandlers(window, form, ports);
    Form_Load(form);
  }

  // Shows the window and makes it the active one, as focus needs.
  bool activate() {
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
  }
  // Links to a device whose read-back is `readBack`.
  void link(const QByteArray& readBack = "0000000000000000001Y") {
    port.answers["Y"] = {{std::chrono::milliseconds(90), readBack}};
    QTest::mouseClick(window.button(Ctl::Conectar), Qt::LeftButton);
  }

  SimClock clock;
  ScriptedPort port{clock};
  PortMap ports;
  MainWindow window;
  Form1 form{window, port, clock};
};
