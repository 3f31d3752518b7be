// SPDX-License-Identifier: GPL-3.0-or-later
// timer-sim: stands in for the timer device on a pseudo-terminal or serial line.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <optional>
#include <string>

#include <QCoreApplication>

#include "sim/behaviour.h"
#include "sim/device.h"
#include "sim/line.h"
#include "sim/options.h"
#include "sim/output_timer.h"

namespace {

using namespace timer_sim;

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr std::size_t kReadChunk = 256;
constexpr std::size_t kFloodChunk = 4096;
constexpr std::chrono::milliseconds kHangupLingerMin{10};
constexpr std::chrono::milliseconds kHangupLingerMax{1000};
constexpr std::chrono::milliseconds kHangupPoll{5};

std::string Describe(const Config& config) {
  return std::string(config.mode == Mode::Bistable ? "bistable" : "monostable") + ", mono " +
         FormatHms(config.mono) + ", on " + FormatHms(config.on) + ", off " +
         FormatHms(config.off) + ", power-up " + (config.powerUpOn ? "on" : "off");
}

// poll's timeout until `wake`; without a wake-up time, none.
int PollTimeoutMs(Clock::time_point now, std::optional<Clock::time_point> wake) {
  if (!wake) return -1;
  // Rounded up so an early wake-up never spins; the byte schedule itself stays exact.
  const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*wake - now);
  return static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, wait.count()));
}

class Simulator {
 public:
  Simulator(const Settings& settings, Line& line, int signalFd)
      : m_line(line),
        m_signalFd(signalFd),
        m_device(settings),
        m_output(settings.config.powerUpOn) {}

  // Returns the exit code.
  int run();

 private:
  // With the last answer out: closes the line once the client has read it,
  // or has been waited for long enough; else moves `wake` up to the next look.
  bool hangUpWhenRead(Clock::time_point now, std::optional<Clock::time_point>& wake);
  // Waits up to `timeoutMs` for a signal, the client's bytes or room on the
  // line, and serves them; returns the exit code once the simulator is done.
  std::optional<int> waitAndServe(int timeoutMs);
  std::optional<int> readFromClient();
  void log(Clock::time_point at, const std::string& text) const;
  void sendDueBytes(Clock::time_point now);
  void handle(const Event& event, Clock::time_point now, std::string& ignored);
  void logOutput(const OutputTimer::Change& change) const {
    log(change.at, change.on ? "output ON" : "output OFF");
  }

  Line& m_line;
  int m_signalFd = -1;
  Behaviour m_device;
  OutputTimer m_output;
  Clock::time_point m_start = Clock::now();
  std::deque<Outgoing> m_queue;
  bool m_hangupPending = false;
  std::optional<Clock::time_point> m_hangupAt;
  bool m_dropLogged = false;
  // A flood waits for the line to take more rather than drop what it cannot send.
  bool m_floodBlocked = false;
};

void Simulator::log(Clock::time_point at, const std::string& text) const {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(at - m_start).count();
  std::printf("%lld.%03lld %s\n", static_cast<long long>(ms / 1000),
              static_cast<long long>(ms % 1000), text.c_str());
  std::fflush(stdout);
}

int Simulator::run() {
  log(m_start, m_output.isOn() ? "output ON" : "output OFF");
  for (;;) {
    const auto now = Clock::now();
    sendDueBytes(now);
    for (const auto& change : m_output.advance(now)) logOutput(change);
    std::optional<Clock::time_point> wake = m_output.nextChange();
    if (m_hangupPending && m_queue.empty() && hangUpWhenRead(now, wake)) return kExitOk;
    // A blocked flood goes on when the line becomes writable, not on a clock.
    if (!m_floodBlocked && !m_queue.empty() && (!wake || m_queue.front().due < *wake)) {
      wake = m_queue.front().due;
    }
    if (const auto code = waitAndServe(PollTimeoutMs(now, wake))) return *code;
  }
}

bool Simulator::hangUpWhenRead(Clock::time_point now, std::optional<Clock::time_point>& wake) {
  // Let the last answer reach the client first: closing the line discards unread input.
  if (!m_hangupAt) m_hangupAt = now + kHangupLingerMin;
  if (now >= *m_hangupAt &&
      (m_line.unreadByClient() == 0 || now >= *m_hangupAt + kHangupLingerMax)) {
    m_line.close();
    log(Clock::now(), "hangup");
    return true;
  }
  const auto retry = std::max(now + kHangupPoll, *m_hangupAt);
  if (!wake || retry < *wake) wake = retry;
  return false;
}

std::optional<int> Simulator::waitAndServe(int timeoutMs) {
  pollfd fds[] = {{m_signalFd, POLLIN, 0},
                  {m_line.fd(), static_cast<short>(m_floodBlocked ? POLLIN | POLLOUT : POLLIN), 0}};
  // Stop reading once the hangup is due; only the last answer is still going out.
  const nfds_t count = m_hangupPending ? 1 : 2;
  if (poll(fds, count, timeoutMs) < 0) {
    if (errno == EINTR) return std::nullopt;
    std::fprintf(stderr, "timer-sim: poll: %s\n", std::strerror(errno));
    return kExitFailure;
  }
  if (fds[0].revents & POLLIN) {
    signalfd_siginfo info{};
    if (read(m_signalFd, &info, sizeof info) > 0) {
      log(Clock::now(), std::string("exit on ") + strsignal(static_cast<int>(info.ssi_signo)));
    }
    return kExitOk;
  }
  if (count > 1 && (fds[1].revents & ~POLLOUT) != 0) return readFromClient();
  return std::nullopt;
}

std::optional<int> Simulator::readFromClient() {
  const auto received = Clock::now();
  char buffer[kReadChunk];
  const ssize_t n = read(m_line.fd(), buffer, sizeof buffer);
  if (n < 0 && (errno == EAGAIN || errno == EINTR)) return std::nullopt;
  if (n <= 0) {
    log(received, "line lost");
    return kExitFailure;
  }
  const Reaction reaction =
      m_device.receive(std::string_view(buffer, static_cast<std::size_t>(n)), received);
  std::string ignored;
  for (const Event& event : reaction.events) handle(event, received, ignored);
  if (!ignored.empty()) log(received, "rx ignored " + Printable(ignored));
  m_queue.insert(m_queue.end(), reaction.out.begin(), reaction.out.end());
  m_hangupPending = m_hangupPending || reaction.hangUp;
  return std::nullopt;
}

void Simulator::sendDueBytes(Clock::time_point now) {
  m_floodBlocked = false;
  while (!m_queue.empty() && m_queue.front().due <= now) {
    Outgoing& next = m_queue.front();
    if (next.flood > 0) {
      const std::string filler(std::min(next.flood, kFloodChunk), 'x');
      const ssize_t n = write(m_line.fd(), filler.data(), filler.size());
      if (n <= 0) {
        m_floodBlocked = true;
        return;
      }
      next.flood -= static_cast<std::size_t>(n);
      if (next.flood == 0) {
        log(Clock::now(), next.log);
        m_queue.pop_front();
      }
      continue;
    }
    if (write(m_line.fd(), next.bytes.data(), next.bytes.size()) !=
            static_cast<ssize_t>(next.bytes.size()) &&
        !m_dropLogged) {
      // A real device keeps transmitting whether anyone listens or not.
      log(now, std::string("tx dropped: ") + std::strerror(errno));
      m_dropLogged = true;
    }
    if (!next.log.empty()) log(Clock::now(), next.log);
    m_queue.pop_front();
  }
}

void Simulator::handle(const Event& event, Clock::time_point now, std::string& ignored) {
  if (event.kind == Event::Kind::Ignored) {
    ignored += event.text;
    return;
  }
  if (!ignored.empty()) {
    log(now, "rx ignored " + Printable(ignored));
    ignored.clear();
  }
  if (event.kind == Event::Kind::Discarded) {
    log(now, "rx " + Printable(event.text) + " (discarded)");
    return;
  }
  std::string line = "rx " + event.text;
  if (event.kind == Event::Kind::Configure)
    line += " (" + Describe(m_device.device().config()) + ")";
  log(now, line);
  if (event.kind == Event::Kind::Fire) {
    m_output.fire(m_device.device().config(), now);
    for (const auto& change : m_output.advance(now)) logOutput(change);
  } else if (event.kind == Event::Kind::Configure) {
    if (const auto change = m_output.stop(now)) logOutput(*change);
  }
}

int SignalDescriptor() {
  sigset_t handled;
  sigemptyset(&handled);
  sigaddset(&handled, SIGINT);
  sigaddset(&handled, SIGTERM);
  sigaddset(&handled, SIGHUP);
  if (sigprocmask(SIG_BLOCK, &handled, nullptr) != 0) return -1;
  return signalfd(-1, &handled, SFD_CLOEXEC);
}

bool createLink(const std::string& link, const std::string& target) {
  struct stat info {};
  // A link left behind by a killed run is replaced; anything else is not ours to remove.
  if (lstat(link.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) unlink(link.c_str());
  if (symlink(target.c_str(), link.c_str()) != 0) {
    std::fprintf(stderr, "timer-sim: cannot create link %s: %s\n", link.c_str(),
                 std::strerror(errno));
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName("timer-sim");
  QCoreApplication::setApplicationVersion(TIMER_SIM_VERSION);

  const ParsedOptions parsed = ParseOptions(QCoreApplication::arguments());
  switch (parsed.outcome) {
    case ParsedOptions::Outcome::Error:
      std::fprintf(stderr, "timer-sim: %s\nTry 'timer-sim --help'.\n", parsed.text.c_str());
      return kExitUsage;
    case ParsedOptions::Outcome::Help:
    case ParsedOptions::Outcome::Version:
      std::printf("%s\n", parsed.text.c_str());
      return kExitOk;
    case ParsedOptions::Outcome::Run:
      break;
  }
  const Settings& settings = parsed.settings;

  signal(SIGPIPE, SIG_IGN);
  const int signalFd = SignalDescriptor();
  if (signalFd < 0) {
    std::fprintf(stderr, "timer-sim: signalfd: %s\n", std::strerror(errno));
    return kExitFailure;
  }

  Line line;
  const std::string failure = settings.devicePath.empty() ? line.openPseudoTerminal()
                                                          : line.openDevice(settings.devicePath);
  if (!failure.empty()) {
    std::fprintf(stderr, "timer-sim: %s\n", failure.c_str());
    return kExitFailure;
  }
  if (!settings.linkPath.empty() && !createLink(settings.linkPath, line.path())) {
    return kExitFailure;
  }
  std::printf("%s\n", line.path().c_str());
  std::fflush(stdout);

  const int code = Simulator(settings, line, signalFd).run();
  if (!settings.linkPath.empty()) unlink(settings.linkPath.c_str());
  return code;
}
