// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/event_loop_clock.h"

#include <QCoreApplication>

EventLoopClock::EventLoopClock() {
  m_wakeUp.setSingleShot(true);
  m_wakeUp.setTimerType(Qt::PreciseTimer);
}

void EventLoopClock::idle(std::chrono::microseconds most) {
  m_wakeUp.start(std::chrono::ceil<std::chrono::milliseconds>(most));
  QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}
