// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's real parts: the Qt window, QSerialPort and the event-loop clock.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

#include <QTest>

#include <functional>

#include "device/event_loop_clock.h"
#include "gui/main_window.h"
#include "gui/wiring.h"
#include "handlers/form.h"
#include "link/adapters.h"
#include "link/com_port.h"
#include "model/form1.h"
#include "support/qt_printers.h"

// What the operator does: clicks a button; types into a time field, clicked
// and its text replaced; presses a key on the port list, given the focus.
inline void Click(MainWindow& window, Ctl button) {
  QTest::mouseClick(window.button(button), Qt::LeftButton);
}
inline void Type(MainWindow& window, Ctl field, const QString& text) {
  QLineEdit* box = window.timeBox(field);
  QTest::mouseClick(box, Qt::LeftButton);
  box->selectAll();
  QTest::keyClicks(box, text);
}
inline void PressOnPortList(MainWindow& window, Qt::Key key, int times = 1) {
  window.portList()->setFocus();
  for (int i = 0; i < times; ++i) QTest::keyClick(window.portList(), key);
}

// Shows the window and makes it the active one, as focus needs.
inline bool Activate(MainWindow& window) {
  window.show();
  window.activateWindow();
  return QTest::qWaitForWindowActive(&window);
}

// Com1 designates `path`; no other number designates a device.
inline PortMap MapCom1To(const QString& path) {
  PortMap map;
  map.set(1, path);
  return map;
}

struct WindowRig {
  explicit WindowRig(const PortMap& map = {}) : port(map) {
    ConnectHandlers(window, form, port.portMap(), adapters, {[this] { port.refresh(); }, {}});
    Form_Load(form);
    ShowChosenDevice(window, form, port.portMap(), adapters);
  }

  Adapters adapters;
  ComPort port;
  EventLoopClock clock;
  MainWindow window;
  Form1 form{window, port, clock};
};
