// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the real timer-sim binary and talks to it through its pseudo-terminal.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

#include "support/named_case.h"
#include "support/process.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto kReplyTimeout = 2s;

constexpr auto kExitTimeout = 5s;

int waitExit(Process& child) {
  return child.wait(kExitTimeout).value_or(-1);
}

// Reads until want bytes arrived, the line fails or the timeout passes.
std::string readBytes(int fd, std::size_t want, std::chrono::milliseconds timeout = kReplyTimeout) {
  std::string got;
  const auto deadline = Clock::now() + timeout;
  while (got.size() < want && Clock::now() < deadline) {
    pollfd pfd{fd, POLLIN, 0};
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (poll(&pfd, 1, static_cast<int>(std::max<long>(1, left.count()))) <= 0) continue;
    char buffer[64];
    const ssize_t n = read(fd, buffer, std::min(sizeof buffer, want - got.size()));
    if (n <= 0) break;
    got.append(buffer, static_cast<std::size_t>(n));
  }
  return got;
}

// The first line the child writes.
std::string readLine(Process& child) {
  child.waitForOutput([](const QString& out) { return out.contains(QLatin1Char('\n')); },
                      kReplyTimeout);
  return child.out().section(QLatin1Char('\n'), 0, 0).toStdString();
}

int openRaw(const std::string& path) {
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY);
  if (fd < 0) return fd;
  termios tio{};
  tcgetattr(fd, &tio);
  cfmakeraw(&tio);
  tcsetattr(fd, TCSANOW, &tio);
  return fd;
}

std::string ask(int fd, const std::string& command, std::size_t answerLength) {
  if (write(fd, command.data(), command.size()) != static_cast<ssize_t>(command.size())) return {};
  return readBytes(fd, answerLength);
}

class SimulatorTest : public testing::Test {
 protected:
  void SetUp() override {
    char dirTemplate[] = "/tmp/timer-sim-test-XXXXXX";
    ASSERT_NE(mkdtemp(dirTemplate), nullptr);
    m_dir = dirTemplate;
  }
  void TearDown() override {
    m_child.reset();
    unlink((m_dir + "/link").c_str());
    rmdir(m_dir.c_str());
  }

  // Starts the simulator and returns the pty path it announces.
  std::string startSimulator(const std::vector<std::string>& args) {
    QStringList arguments;
    for (const std::string& arg : args) arguments << QString::fromStdString(arg);
    m_child = std::make_unique<Process>(QStringLiteral(TIMER_SIM_PATH), arguments);
    return readLine(*m_child);
  }

  std::string m_dir;
  std::unique_ptr<Process> m_child;
};

TEST_F(SimulatorTest, AnswersAcrossReconnectsAndExitsCleanlyOnSigterm) {
  const std::string link = m_dir + "/link";
  const std::string path = startSimulator({"--instant", "--mono", "01:30:15", "--link", link});
  ASSERT_EQ(path.rfind("/dev/pts/", 0), 0u) << path;
  char target[256] = {};
  ASSERT_GT(readlink(link.c_str(), target, sizeof target - 1), 0);
  EXPECT_EQ(path, target);

  int fd = openRaw(link);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(ask(fd, "Y", 20), "1530010000000000001Y");
  close(fd);

  // A client closing the line must not break it for the next one.
  fd = openRaw(path);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(ask(fd, "S0000001000000002000", 1), "S");
  EXPECT_EQ(ask(fd, "T12Y", 20), "0000001000000002000Y");
  EXPECT_EQ(ask(fd, "E", 1), "E");
  close(fd);

  ASSERT_EQ(kill(static_cast<pid_t>(m_child->pid()), SIGTERM), 0);
  EXPECT_EQ(waitExit(*m_child), 0);
  struct stat info {};
  EXPECT_NE(lstat(link.c_str(), &info), 0) << "link left behind";
}

TEST_F(SimulatorTest, PacesAnswersAtTheWireRate) {
  const std::string path = startSimulator({});
  const int fd = openRaw(path);
  ASSERT_GE(fd, 0);
  const auto sent = Clock::now();
  EXPECT_EQ(ask(fd, "Y", 20).size(), 20u);
  // 20 characters of 10 bits at 2400 baud.
  EXPECT_GE(Clock::now() - sent, 80ms);
  close(fd);
}

TEST_F(SimulatorTest, HangupAfterNthCommandLooksLikeAnUnpluggedAdapter) {
  const std::string path = startSimulator({"--instant", "--hangup-after", "2"});
  const int fd = openRaw(path);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(ask(fd, "E", 1), "E");
  EXPECT_EQ(ask(fd, "E", 1), "E");
  pollfd pfd{fd, POLLIN, 0};
  ASSERT_EQ(poll(&pfd, 1, 2000), 1);
  char byte = 0;
  EXPECT_LE(read(fd, &byte, 1), 0);
  close(fd);
  EXPECT_EQ(waitExit(*m_child), 0);
}

struct BadOptionCase {
  const char* name;
  QStringList args;
};

TIMER_NAMED_CASE(BadOptionCase)

class BadOptionTest : public testing::TestWithParam<BadOptionCase> {};

TEST_P(BadOptionTest, ExitsWithUsageCode) {
  Process child(QStringLiteral(TIMER_SIM_PATH), GetParam().args);
  EXPECT_EQ(waitExit(child), 2);
}

INSTANTIATE_TEST_SUITE_P(Options, BadOptionTest,
                         testing::Values(BadOptionCase{"UnknownOption", {"--bogus"}},
                                         BadOptionCase{"MinutesOutOfRange", {"--mono", "00:60:00"}},
                                         BadOptionCase{"PowerUpMaybe", {"--power-up", "maybe"}},
                                         BadOptionCase{"SplitZero", {"--split", "0"}},
                                         BadOptionCase{"StrayArgument", {"extra"}}),
                         kCaseName);

}  // namespace
