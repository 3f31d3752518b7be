// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The built timer-sim as a child process: its first output line is the
// pseudo-terminal to open, every later line one event it logged
// ("rx ...", "tx ...", "output ON/OFF", "hangup").

#include <QString>
#include <QStringList>

#include <chrono>
#include <string>
#include <vector>

#include "support/child_process.h"

class SimProcess {
 public:
  static constexpr std::chrono::seconds kStartTimeout{5};

  explicit SimProcess(const std::vector<std::string>& args, const char* program = TIMER_SIM_PATH)
      : m_child(program, args) {
    m_child.waitForOutput([](const std::string& out) { return out.find('\n') != out.npos; },
                          kStartTimeout);
  }

  // The slave side to open; empty when the simulator did not start.
  QString path() const { return Lines(m_child.out()).value(0); }

  // Every event logged so far, without its time stamp.
  QStringList events() const { return Events(m_child.out()); }

  // Waits until `event` has been logged `count` times (or the log ends).
  bool waitForEvent(const QString& event, std::chrono::milliseconds timeout, int count = 1) {
    return m_child.waitForOutput(
        [&](const std::string& out) { return Events(out).count(event) >= count; }, timeout);
  }

  // False once the child has ended (a hang-up ends it on its own).
  bool running() { return m_child.running(); }

 private:
  static QStringList Events(const std::string& out) {
    QStringList events;
    const QStringList all = Lines(out);
    for (int i = 1; i < all.size(); ++i) {
      // "12.345 rx Y": the seconds since the simulator started come first.
      const qsizetype space = all[i].indexOf(QLatin1Char(' '));
      events << (space < 0 ? all[i] : all[i].mid(space + 1));
    }
    return events;
  }

  // Complete lines only: the last may still be on its way.
  static QStringList Lines(const std::string& out) {
    QStringList all =
        QString::fromStdString(out.substr(0, out.rfind('\n') + 1)).split(QLatin1Char('\n'));
    all.removeLast();
    return all;
  }

  ChildProcess m_child;
};
