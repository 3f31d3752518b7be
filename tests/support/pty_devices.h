// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Many timers at once, each at the far end of a pseudo-terminal: one thread
// serves them all, each device the simulator's own, its answers going out
// when they are due (at once, or paced as the settings say: 2400 baud, a USB
// adapter's latency). For fleets larger than one process per device allows.
// Floods and hang-ups are not played.

#include <QString>
#include <QStringList>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <pty.h>
#include <sys/epoll.h>
#include <termios.h>
#include <unistd.h>

#include "sim/behaviour.h"

class PtyDevices {
 public:
  static timer_sim::Settings Instant() {
    timer_sim::Settings instant;
    instant.instant = true;
    return instant;
  }

  explicit PtyDevices(int count, const timer_sim::Settings& settings = Instant())
      : m_settings(settings) {
    termios raw{};
    cfmakeraw(&raw);
    for (int i = 0; i < count; ++i) {
      int master = -1, slave = -1;
      char name[128] = {};
      if (openpty(&master, &slave, name, &raw, nullptr) != 0) break;
      // Not inherited: a timerctl started beside them counts its own descriptors.
      ::fcntl(master, F_SETFD, FD_CLOEXEC);
      ::fcntl(slave, F_SETFD, FD_CLOEXEC);
      m_masters.push_back(master);
      m_slaves.push_back(slave);  // kept open: the line outlives each opening
      m_paths << QString::fromLocal8Bit(name);
    }
    m_thread = std::thread([this] { serve(); });
  }
  ~PtyDevices() {
    m_stop = true;
    m_thread.join();
    for (int fd : m_masters) ::close(fd);
    for (int fd : m_slaves) ::close(fd);
  }
  PtyDevices(const PtyDevices&) = delete;
  PtyDevices& operator=(const PtyDevices&) = delete;

  const QStringList& paths() const { return m_paths; }

 private:
  using Due = std::pair<timer_sim::Clock::time_point, std::size_t>;  // when, which line

  // epoll, not poll: a thousand lines cost only those that have something.
  void serve() {
    std::vector<timer_sim::Behaviour> devices(m_masters.size(), timer_sim::Behaviour(m_settings));
    const int epoll = ::epoll_create1(EPOLL_CLOEXEC);
    for (std::size_t i = 0; i < m_masters.size(); ++i) {
      epoll_event watched{};
      watched.events = EPOLLIN;
      watched.data.u64 = i;
      ::epoll_ctl(epoll, EPOLL_CTL_ADD, m_masters[i], &watched);
    }
    std::map<Due, std::string> queued;  // bytes due together go out in one write
    std::vector<epoll_event> ready(m_masters.size() + 1);
    while (!m_stop) {
      const auto now = timer_sim::Clock::now();
      while (!queued.empty() && queued.begin()->first.first <= now) {
        const auto& [due, bytes] = *queued.begin();
        (void)!::write(m_masters[due.second], bytes.data(), bytes.size());
        queued.erase(queued.begin());
      }
      const auto next =
          queued.empty()
              ? std::chrono::milliseconds(50)
              : std::chrono::ceil<std::chrono::milliseconds>(queued.begin()->first.first - now);
      const int n = ::epoll_wait(epoll, ready.data(), static_cast<int>(ready.size()),
                                 static_cast<int>(next.count()));
      for (int k = 0; k < n; ++k) {
        const auto i = static_cast<std::size_t>(ready[static_cast<std::size_t>(k)].data.u64);
        char in[64];
        const ssize_t got = ::read(m_masters[i], in, sizeof in);
        if (got <= 0) continue;
        const timer_sim::Reaction reaction = devices[i].receive(
            std::string_view(in, static_cast<std::size_t>(got)), timer_sim::Clock::now());
        for (const timer_sim::Outgoing& out : reaction.out) queued[{out.due, i}] += out.bytes;
      }
    }
    ::close(epoll);
  }

  timer_sim::Settings m_settings;
  std::vector<int> m_masters, m_slaves;
  QStringList m_paths;
  std::atomic<bool> m_stop{false};
  std::thread m_thread;
};
