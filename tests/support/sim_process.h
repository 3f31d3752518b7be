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

#include "support/process.h"

class SimProcess {
 public:
  static constexpr std::chrono::seconds kStartTimeout{5};

  explicit SimProcess(const std::vector<std::string>& args, const char* program = TIMER_SIM_PATH)
      : m_child(QString::fromLocal8Bit(program), Arguments(args)) {
    m_child.waitForOutput([](const QString& out) { return out.contains(QLatin1Char('\n')); },
                          kStartTimeout);
  }

  // The slave side to open; empty when the simulator did not start.
  QString path() const { return Lines(m_child.out()).value(0); }

  // Every event logged so far, without its time stamp.
  QStringList events() const { return Events(m_child.out()); }

  // Waits until `event` has been logged `count` times (or the log ends).
  bool waitForEvent(const QString& event, std::chrono::milliseconds timeout, int count = 1) {
    return m_child.waitForOutput(
        [&](const QString& out) { return Events(out).count(event) >= count; }, timeout);
  }

  // False once the child has ended (a hang-up ends it on its own).
  bool running() { return m_child.running(); }

 private:
  static QStringList Arguments(const std::vector<std::string>& args) {
    QStringList arguments;
    for (const std::string& arg : args) arguments << QString::fromStdString(arg);
    return arguments;
  }

  static QStringList Events(const QString& out) {
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
  static QStringList Lines(const QString& out) {
    QStringList all = out.left(out.lastIndexOf(QLatin1Char('\n')) + 1).split(QLatin1Char('\n'));
    all.removeLast();
    return all;
  }

  // Its output is taken in as it is asked for.
  mutable Process m_child;
};
