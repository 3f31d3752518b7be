// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Many timers at once, each at the far end of a pseudo-terminal, that answer
// at once: one thread serves them all. For figures of scale, where the
// simulator's pacing would only measure the wire.

#include <QString>
#include <QStringList>

#include <atomic>
#include <thread>
#include <vector>

#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

class InstantDevices {
 public:
  explicit InstantDevices(int count) {
    termios raw{};
    cfmakeraw(&raw);
    for (int i = 0; i < count; ++i) {
      int master = -1, slave = -1;
      char name[128] = {};
      if (openpty(&master, &slave, name, &raw, nullptr) != 0) break;
      m_masters.push_back(master);
      m_slaves.push_back(slave);  // kept open: the line outlives each opening
      m_paths << QString::fromLocal8Bit(name);
    }
    m_thread = std::thread([this] { serve(); });
  }
  ~InstantDevices() {
    m_stop = true;
    m_thread.join();
    for (int fd : m_masters) ::close(fd);
    for (int fd : m_slaves) ::close(fd);
  }
  InstantDevices(const InstantDevices&) = delete;
  InstantDevices& operator=(const InstantDevices&) = delete;

  const QStringList& paths() const { return m_paths; }

 private:
  // A probe gets the read-back of a device holding zeros and power-up on; a
  // configuration, its acknowledgement; anything else, nothing.
  void serve() {
    std::vector<pollfd> fds;
    for (int fd : m_masters) fds.push_back({fd, POLLIN, 0});
    while (!m_stop) {
      if (::poll(fds.data(), fds.size(), 50) <= 0) continue;
      for (pollfd& p : fds) {
        if (!(p.revents & POLLIN)) continue;
        char in[64];
        const ssize_t n = ::read(p.fd, in, sizeof in);
        for (ssize_t i = 0; i < n; ++i) {
          const char* answer = in[i] == 'Y' ? "0000000000000000001Y" : in[i] == 'E' ? "E" : nullptr;
          if (answer) (void)!::write(p.fd, answer, std::char_traits<char>::length(answer));
        }
      }
    }
  }

  std::vector<int> m_masters, m_slaves;
  QStringList m_paths;
  std::atomic<bool> m_stop{false};
  std::thread m_thread;
};
