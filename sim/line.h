// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace timer_sim {

// The simulator's end of the serial line: a pseudo-terminal or a real device.
class Line {
 public:
  Line() = default;
  ~Line() { close(); }
  Line(const Line&) = delete;
  Line& operator=(const Line&) = delete;

  // Both return an error message, empty on success.
  std::string openPseudoTerminal();
  std::string openDevice(const std::string& path);

  int fd() const { return m_fd; }
  // Bytes sent to the client that it has not read yet, as far as we can tell.
  int unreadByClient() const;
  // The path a client opens: the pty slave, or the device itself.
  const std::string& path() const { return m_path; }
  void close();

 private:
  int m_fd = -1;
  // Held open so that the master does not see a hangup each time a client closes the slave.
  int m_slaveFd = -1;
  std::string m_path;
};

}  // namespace timer_sim
