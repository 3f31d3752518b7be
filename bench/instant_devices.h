// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Many timers at once, each at the far end of a pseudo-terminal, that answer
// at once: one thread serves them all, each device the simulator's own. For
// figures of scale, where the simulator's pacing would only measure the wire.

#include <QString>
#include <QStringList>

#include <atomic>
#include <thread>
#include <vector>

#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include "sim/behaviour.h"

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
  // Each line's device is the simulator's own, answering at once.
  void serve() {
    timer_sim::Settings instant;
    instant.instant = true;
    std::vector<timer_sim::Behaviour> devices(m_masters.size(), timer_sim::Behaviour(instant));
    std::vector<pollfd> fds;
    for (int fd : m_masters) fds.push_back({fd, POLLIN, 0});
    while (!m_stop) {
      if (::poll(fds.data(), fds.size(), 50) <= 0) continue;
      for (std::size_t i = 0; i < fds.size(); ++i) {
        if (!(fds[i].revents & POLLIN)) continue;
        char in[64];
        const ssize_t n = ::read(fds[i].fd, in, sizeof in);
        if (n <= 0) continue;
        const timer_sim::Reaction reaction = devices[i].receive(
            std::string_view(in, static_cast<std::size_t>(n)), timer_sim::Clock::now());
        for (const timer_sim::Outgoing& out : reaction.out)
          (void)!::write(fds[i].fd, out.bytes.data(), out.bytes.size());
      }
    }
  }

  std::vector<int> m_masters, m_slaves;
  QStringList m_paths;
  std::atomic<bool> m_stop{false};
  std::thread m_thread;
};
