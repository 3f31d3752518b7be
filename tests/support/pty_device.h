// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A scripted device at the far end of a real pseudo-terminal: the program
// opens the slave side through QSerialPort like any serial device.

#include <QByteArray>
#include <QString>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

class PtyDevice {
 public:
  // Given what arrived since its last answer, returns what to send back
  // (empty: keep listening).
  using Script = std::function<QByteArray(const QByteArray& received)>;

  // `initial`: the line's settings before the program opens it (raw by default).
  explicit PtyDevice(Script script, const termios* initial = nullptr)
      : m_script(std::move(script)) {
    char name[128] = {};
    termios raw{};
    cfmakeraw(&raw);
    if (openpty(&m_master, &m_slave, name, initial ? initial : &raw, nullptr) != 0) return;
    // Only this process has the line open: a program the test starts does not.
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_slave, F_SETFD, FD_CLOEXEC);
    m_path = QString::fromLocal8Bit(name);
    m_thread = std::thread([this] { run(); });
  }
  ~PtyDevice() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
    if (m_slave >= 0) ::close(m_slave);
    if (m_master >= 0) ::close(m_master);
  }
  PtyDevice(const PtyDevice&) = delete;
  PtyDevice& operator=(const PtyDevice&) = delete;

  QString path() const { return m_path; }
  // Sends bytes unasked, as a device that talks on its own does.
  void send(const QByteArray& bytes) {
    (void)!::write(m_master, bytes.constData(), static_cast<size_t>(bytes.size()));
  }
  // The line's settings as the program left them: termios belongs to the
  // terminal, so the device's end shows them.
  termios settings() const {
    termios tio{};
    tcgetattr(m_slave, &tio);
    return tio;
  }
  int settingsFd() const { return m_slave; }
  QByteArray received() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_all;
  }

 private:
  void run() {
    QByteArray pending;
    while (!m_stop) {
      pollfd p{m_master, POLLIN, 0};
      if (::poll(&p, 1, 10) <= 0 || !(p.revents & POLLIN)) continue;
      char buffer[256];
      const ssize_t n = ::read(m_master, buffer, sizeof buffer);
      if (n <= 0) continue;
      pending.append(buffer, static_cast<int>(n));
      {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_all.append(buffer, static_cast<int>(n));
      }
      const QByteArray answer = m_script(pending);
      if (!answer.isEmpty()) {
        pending.clear();
        (void)!::write(m_master, answer.constData(), static_cast<size_t>(answer.size()));
      }
    }
  }

  Script m_script;
  int m_master = -1;
  // Kept open so that the line survives the program closing and reopening it.
  int m_slave = -1;
  QString m_path;
  std::atomic<bool> m_stop{false};
  std::mutex m_mutex;
  QByteArray m_all;
  std::thread m_thread;
};
