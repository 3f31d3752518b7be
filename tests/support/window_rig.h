#pragma once

// The program's real parts: the Qt window, QSerialPort and the event-loop clock.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QTimer>

#include "app/form.h"
#include "app/form1.h"
#include "app/main_window.h"
#include "app/wiring.h"
#include "link/event_loop_clock.h"
#include "link/qt_serial_port.h"
#include "support/qt_printers.h"

struct WindowRig {
  explicit WindowRig(PortMap map = {}) : port(std::move(map)) {
    ConnectHandlers(window, form);
    Form_Load(form);
  }

  QtSerialPort port;
  EventLoopClock clock;
  MainWindow window;
  Form1 form{window, port, clock};
};

// Closes every message box as it opens, with its OK button, and keeps
// "title | text" of each.
class MessageBoxCloser : public QObject {
 public:
  MessageBoxCloser() {
    m_timer.setInterval(20);
    QObject::connect(&m_timer, &QTimer::timeout, this, [this] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        seen << box->windowTitle() + QStringLiteral(" | ") + box->text();
        box->button(QMessageBox::Ok)->click();
      }
    });
    m_timer.start();
  }
  QStringList seen;

 private:
  QTimer m_timer;
};
