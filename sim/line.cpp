// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/line.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace timer_sim {
namespace {

std::string Failure(const std::string& what) {
  return what + ": " + std::strerror(errno);
}

bool MakeRaw(int fd) {
  termios tio{};
  if (tcgetattr(fd, &tio) != 0) return false;
  cfmakeraw(&tio);
  tio.c_cflag &= ~(PARENB | CSTOPB | CSIZE | CRTSCTS);
  tio.c_cflag |= CS8 | CLOCAL | CREAD;
  tio.c_iflag &= ~(IXON | IXOFF | IXANY);
  tio.c_cc[VMIN] = 1;
  tio.c_cc[VTIME] = 0;
  cfsetispeed(&tio, B2400);
  cfsetospeed(&tio, B2400);
  return tcsetattr(fd, TCSANOW, &tio) == 0;
}

}  // namespace

std::string Line::openPseudoTerminal() {
  m_fd = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (m_fd < 0) return Failure("posix_openpt");
  if (grantpt(m_fd) != 0 || unlockpt(m_fd) != 0) return Failure("unlockpt");
  const char* name = ptsname(m_fd);
  if (name == nullptr) return Failure("ptsname");
  m_path = name;
  m_slaveFd = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (m_slaveFd < 0) return Failure("open " + m_path);
  if (!MakeRaw(m_slaveFd)) return Failure("tcsetattr " + m_path);
  MakeRaw(m_fd);  // Linux keeps the settings on the slave; the master may refuse them
  return {};
}

std::string Line::openDevice(const std::string& path) {
  m_path = path;
  m_fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (m_fd < 0) return Failure("open " + path);
  if (!MakeRaw(m_fd)) return Failure("tcsetattr " + path);
  tcflush(m_fd, TCIOFLUSH);
  return {};
}

int Line::unreadByClient() const {
  int count = 0;
  if (m_slaveFd >= 0) {
    if (ioctl(m_slaveFd, TIOCINQ, &count) != 0) return 0;
  } else if (m_fd >= 0) {
    if (ioctl(m_fd, TIOCOUTQ, &count) != 0) return 0;
  }
  return count;
}

void Line::close() {
  if (m_fd >= 0) ::close(m_fd);
  if (m_slaveFd >= 0) ::close(m_slaveFd);
  m_fd = -1;
  m_slaveFd = -1;
}

}  // namespace timer_sim
