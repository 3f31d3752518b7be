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

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto kReplyTimeout = 2s;

struct Child {
  pid_t pid = -1;
  int out = -1;  // its stdout
};

Child start(const std::vector<std::string>& args) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return {};
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(pipeFds[1], STDOUT_FILENO);
    close(pipeFds[0]);
    close(pipeFds[1]);
    std::vector<char*> argv;
    std::string program = TIMER_SIM_PATH;
    argv.push_back(program.data());
    std::vector<std::string> copy = args;
    for (auto& arg : copy) argv.push_back(arg.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(pipeFds[1]);
  return {pid, pipeFds[0]};
}

int waitExit(pid_t pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
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

std::string readLine(int fd) {
  std::string line;
  while (line.size() < 256) {
    const std::string byte = readBytes(fd, 1);
    if (byte.empty() || byte[0] == '\n') break;
    line += byte;
  }
  return line;
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
    if (m_child.pid > 0 && waitpid(m_child.pid, nullptr, WNOHANG) == 0) {
      kill(m_child.pid, SIGKILL);
      waitpid(m_child.pid, nullptr, 0);
    }
    if (m_child.out >= 0) close(m_child.out);
    unlink((m_dir + "/link").c_str());
    rmdir(m_dir.c_str());
  }

  // Starts the simulator and returns the pty path it announces.
  std::string startSimulator(const std::vector<std::string>& args) {
    m_child = start(args);
    return readLine(m_child.out);
  }

  std::string m_dir;
  Child m_child;
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

  ASSERT_EQ(kill(m_child.pid, SIGTERM), 0);
  EXPECT_EQ(waitExit(m_child.pid), 0);
  m_child.pid = -1;
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
  EXPECT_EQ(waitExit(m_child.pid), 0);
  m_child.pid = -1;
}

class BadOptionTest : public testing::TestWithParam<std::vector<std::string>> {};

TEST_P(BadOptionTest, ExitsWithUsageCode) {
  const Child child = start(GetParam());
  close(child.out);
  EXPECT_EQ(waitExit(child.pid), 2);
}

INSTANTIATE_TEST_SUITE_P(Options, BadOptionTest,
                         testing::Values(std::vector<std::string>{"--bogus"},
                                         std::vector<std::string>{"--mono", "00:60:00"},
                                         std::vector<std::string>{"--power-up", "maybe"},
                                         std::vector<std::string>{"--split", "0"},
                                         std::vector<std::string>{"extra"}));

}  // namespace
