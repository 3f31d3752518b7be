// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTimer>

#include "device/wait.h"

// Real time; idles inside the Qt event loop, which also wakes it when a serial
// port's notifier reports incoming bytes.
class EventLoopClock : public WaitClock {
 public:
  EventLoopClock();

  Clock::time_point now() override { return Clock::now(); }
  void idle(std::chrono::microseconds most) override;

 private:
  QTimer m_wakeUp;
};
