// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A program the tests and benchmarks start: QProcess, with what it writes
// kept as it comes, and ended (SIGTERM, then SIGKILL) when the object goes.

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <optional>

class Process {
 public:
  static constexpr int kStopTimeoutMs = 2000;

  // `environment` entries ("NAME=value") are added to this process's own.
  Process(const QString& program, const QStringList& args, const QStringList& environment = {}) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& entry : environment)
      env.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
    m_process.setProcessEnvironment(env);
    m_process.start(program, args);
    m_process.waitForStarted();
  }
  ~Process() {
    m_process.closeWriteChannel();
    if (!running()) return;
    m_process.terminate();
    if (!m_process.waitForFinished(kStopTimeoutMs)) {
      m_process.kill();
      m_process.waitForFinished(kStopTimeoutMs);
    }
  }
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  qint64 pid() const { return m_process.processId(); }
  // Asks the system, so that no event loop is needed to see it end.
  bool running() {
    return m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(0);
  }

  // What it wrote so far on stdout and on stderr.
  QString out() {
    take();
    return m_out;
  }
  QString err() {
    take();
    return m_err;
  }

  // Waits until `done` holds for its stdout so far, it ends or `timeout`
  // passes; whether `done` held.
  bool waitForOutput(const std::function<bool(const QString&)>& done,
                     std::chrono::milliseconds timeout) {
    QElapsedTimer clock;
    clock.start();
    while (!done(out()) && running() && clock.elapsed() < timeout.count())
      m_process.waitForReadyRead(static_cast<int>(timeout.count() - clock.elapsed()));
    return done(out());
  }

  void write(const QByteArray& data) {
    m_process.write(data);
    m_process.waitForBytesWritten();
  }
  void closeInput() { m_process.closeWriteChannel(); }

  // The exit code once it has ended within `timeout`, all it wrote kept;
  // 128 + N for signal N.
  std::optional<int> wait(std::chrono::milliseconds timeout) {
    if (running() && !m_process.waitForFinished(static_cast<int>(timeout.count())))
      return std::nullopt;
    take();
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode()
                                                          : 128 + m_process.exitCode();
  }

 private:
  void take() {
    m_out += QString::fromLocal8Bit(m_process.readAllStandardOutput());
    m_err += QString::fromLocal8Bit(m_process.readAllStandardError());
  }

  QProcess m_process;
  QString m_out, m_err;
};
