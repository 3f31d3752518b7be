#pragma once

// The built timer-sim as a child process: its first output line is the
// pseudo-terminal to open, every later line one event it logged
// ("rx ...", "tx ...", "output ON/OFF", "hangup").

#include <QString>
#include <QStringList>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

class SimProcess {
 public:
  static constexpr std::chrono::seconds kStartTimeout{5};
  static constexpr std::chrono::seconds kStopTimeout{2};
  static constexpr std::chrono::milliseconds kReapPoll{5};

  explicit SimProcess(const std::vector<std::string>& args, const char* program = TIMER_SIM_PATH) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return;
    std::vector<std::string> words{program};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // dup2 clears close-on-exec on the copy, so only stdout reaches the child.
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    const int failure = posix_spawn(&m_pid, program, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    if (failure != 0) {
      m_pid = -1;
      ::close(fds[0]);
      return;
    }
    m_out = fds[0];
    m_reader = std::thread([this] { read(); });

    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait_for(lock, kStartTimeout, [this] { return m_pathSeen || m_eof; });
  }

  ~SimProcess() {
    if (m_pid > 0 && running()) {
      ::kill(m_pid, SIGTERM);
      const auto deadline = std::chrono::steady_clock::now() + kStopTimeout;
      while (running() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(kReapPoll);
      if (running()) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
      }
    }
    // The pipe reaches end of file once the child is gone.
    if (m_reader.joinable()) m_reader.join();
    if (m_out >= 0) ::close(m_out);
  }

  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  // The slave side to open; empty when the simulator did not start.
  QString path() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_path;
  }

  // Every event logged so far, without its time stamp.
  QStringList events() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_events;
  }

  // Waits until `event` has been logged `count` times (or the log ends).
  bool waitForEvent(const QString& event, std::chrono::milliseconds timeout, int count = 1) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait_for(lock, timeout, [&] { return m_events.count(event) >= count || m_eof; });
    return m_events.count(event) >= count;
  }

  // False once the child has ended (a hang-up ends it on its own).
  bool running() {
    if (m_pid <= 0 || m_exited) return false;
    int status = 0;
    if (::waitpid(m_pid, &status, WNOHANG) == m_pid) m_exited = true;
    return !m_exited;
  }

 private:
  void read() {
    std::string pending;
    char buffer[256];
    for (;;) {
      const ssize_t n = ::read(m_out, buffer, sizeof buffer);
      if (n <= 0) break;
      pending.append(buffer, static_cast<std::size_t>(n));
      std::string::size_type end;
      while ((end = pending.find('\n')) != std::string::npos) {
        take(pending.substr(0, end));
        pending.erase(0, end + 1);
      }
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_eof = true;
    m_changed.notify_all();
  }

  void take(const std::string& line) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_pathSeen) {
      m_path = QString::fromStdString(line);
      m_pathSeen = true;
    } else {
      // "12.345 rx Y": the seconds since the simulator started come first.
      const auto space = line.find(' ');
      m_events << QString::fromStdString(space == std::string::npos ? line
                                                                    : line.substr(space + 1));
    }
    m_changed.notify_all();
  }

  pid_t m_pid = -1;
  bool m_exited = false;
  int m_out = -1;
  std::thread m_reader;
  mutable std::mutex m_mutex;
  std::condition_variable m_changed;
  bool m_pathSeen = false;
  bool m_eof = false;
  QString m_path;
  QStringList m_events;
};
