// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/modem_lines.h"

#include <cstdarg>
#include <cstring>
#include <map>
#include <mutex>
#include <utility>

#include <dlfcn.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

std::mutex g_mutex;
// What Linux does at every opening: both lines raised.
constexpr int kAtOpening = TIOCM_DTR | TIOCM_RTS;
std::map<int, int> g_lines;
std::vector<ModemLineChange> g_changes;

bool IsPseudoTerminal(int fd) {
  char name[64] = {};
  return ::ttyname_r(fd, name, sizeof name) == 0 && std::strncmp(name, "/dev/pts/", 9) == 0;
}

}  // namespace

std::vector<ModemLineChange> TakeModemLineChanges() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return std::exchange(g_changes, {});
}

bool LeftLow(const std::vector<ModemLineChange>& changes, int line) {
  int state = kAtOpening;
  for (const ModemLineChange& c : changes) {
    if (c.request == TIOCMBIS) state |= c.bits;
    if (c.request == TIOCMBIC) state &= ~c.bits;
    if (c.request == TIOCMSET) state = c.bits;
  }
  return (state & line) == 0;
}

bool Raised(const std::vector<ModemLineChange>& changes, int line) {
  for (const ModemLineChange& c : changes) {
    if ((c.request == TIOCMBIS || c.request == TIOCMSET) && (c.bits & line) != 0) return true;
  }
  return false;
}

extern "C" int ioctl(int fd, unsigned long request, ...) noexcept {
  va_list args;
  va_start(args, request);
  void* argument = va_arg(args, void*);
  va_end(args);
  static const auto real =
      reinterpret_cast<int (*)(int, unsigned long, ...)>(::dlsym(RTLD_NEXT, "ioctl"));
  const bool modemLines =
      request == TIOCMGET || request == TIOCMSET || request == TIOCMBIS || request == TIOCMBIC;
  if (!modemLines || !IsPseudoTerminal(fd)) return real(fd, request, argument);

  int* bits = static_cast<int*>(argument);
  std::lock_guard<std::mutex> lock(g_mutex);
  int& state = g_lines.try_emplace(fd, kAtOpening).first->second;
  if (request == TIOCMGET) {
    *bits = state;
    return 0;
  }
  if (request == TIOCMBIS) state |= *bits;
  if (request == TIOCMBIC) state &= ~*bits;
  if (request == TIOCMSET) state = *bits;
  g_changes.push_back({request, *bits});
  return 0;
}
