// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The one way the tests and benchmarks start a program: posix_spawn with its
// standard streams on pipes, a thread that collects what it writes, and a
// stop (SIGTERM, then SIGKILL) when the object goes.

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

class ChildProcess {
 public:
  static constexpr std::chrono::seconds kStopTimeout{2};
  static constexpr std::chrono::milliseconds kReapPoll{5};

  // Starts `program` with `args`; `environment` entries ("NAME=value") are
  // added to this process's own, in place of any of the same name.
  ChildProcess(const std::string& program, const std::vector<std::string>& args,
               const std::vector<std::string>& environment = {}) {
    int in[2], out[2], err[2];
    if (::pipe2(in, O_CLOEXEC) != 0) return;
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) return;
    std::vector<std::string> words{program};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    std::vector<std::string> env;
    const auto given = [&environment](const std::string& entry) {
      const std::string name = entry.substr(0, entry.find('=') + 1);
      return std::any_of(environment.begin(), environment.end(),
                         [&name](const std::string& e) { return e.rfind(name, 0) == 0; });
    };
    for (char** e = environ; *e; ++e) {
      if (!given(*e)) env.emplace_back(*e);
    }
    env.insert(env.end(), environment.begin(), environment.end());
    std::vector<char*> envp;
    envp.reserve(env.size() + 1);
    for (std::string& entry : env) envp.push_back(entry.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // dup2 clears close-on-exec on the copies, so only these reach the child.
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    const int failure =
        posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    m_in = in[1];
    if (failure != 0) {
      m_pid = -1;
      ::close(out[0]);
      ::close(err[0]);
      return;
    }
    m_reader = std::thread([this, o = out[0], e = err[0]] { collect(o, e); });
  }

  ~ChildProcess() {
    closeInput();
    if (running()) {
      ::kill(m_pid, SIGTERM);
      if (!wait(kStopTimeout)) {
        ::kill(m_pid, SIGKILL);
        wait(kStopTimeout);
      }
    }
    // The pipes reach end of file once the child and its children are gone.
    if (m_reader.joinable()) m_reader.join();
  }

  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return m_pid > 0; }
  pid_t pid() const { return m_pid; }

  // What it wrote so far on stdout and on stderr.
  std::string out() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_out;
  }
  std::string err() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_err;
  }

  // Waits until `done` holds for its stdout so far, or both streams end, or
  // `timeout` passes; returns whether `done` held.
  bool waitForOutput(const std::function<bool(const std::string&)>& done,
                     std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait_for(lock, timeout, [&] { return done(m_out) || m_ended; });
    return done(m_out);
  }

  void writeInput(const std::string& data) {
    if (m_in >= 0) (void)!::write(m_in, data.data(), data.size());
  }
  void closeInput() {
    if (m_in >= 0) ::close(m_in);
    m_in = -1;
  }

  // The exit code once it has ended within `timeout`, with all it wrote
  // collected; 128 + N for signal N.
  std::optional<int> wait(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (running()) {
      if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
      std::this_thread::sleep_for(kReapPoll);
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait_until(lock, deadline, [this] { return m_ended; });
    return m_status;
  }

  bool running() {
    if (m_pid <= 0 || m_status) return false;
    int status = 0;
    if (::waitpid(m_pid, &status, WNOHANG) != m_pid) return true;
    m_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return false;
  }

 private:
  void collect(int out, int err) {
    pollfd fds[] = {{out, POLLIN, 0}, {err, POLLIN, 0}};
    int open = 2;
    while (open > 0) {
      if (::poll(fds, 2, -1) < 0) continue;
      for (pollfd& p : fds) {
        if (p.fd < 0 || p.revents == 0) continue;
        char buffer[4096];
        const ssize_t n = ::read(p.fd, buffer, sizeof buffer);
        if (n <= 0) {
          ::close(p.fd);
          p.fd = -1;
          --open;
          continue;
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        (p.fd == out ? m_out : m_err).append(buffer, static_cast<std::size_t>(n));
        m_changed.notify_all();
      }
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_ended = true;
    m_changed.notify_all();
  }

  pid_t m_pid = -1;
  int m_in = -1;
  std::optional<int> m_status;
  std::thread m_reader;
  mutable std::mutex m_mutex;
  std::condition_variable m_changed;
  std::string m_out;
  std::string m_err;
  bool m_ended = false;
};
