// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/interruption.h"

#include <atomic>
#include <csignal>

namespace {

std::atomic<int> g_stopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "read and written from a signal handler");

extern "C" void OnStopSignal(int signal) {
  int none = 0;
  g_stopSignal.compare_exchange_strong(none, signal);
  // Whoever read the output may be gone with the session: finishing and
  // recording the devices in flight matters more than what stdout says.
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGPIPE, &ignore, nullptr);
}

}  // namespace

void CatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  // The second one of a kind is not caught; system calls go on after the first.
  action.sa_flags = SA_RESETHAND | SA_RESTART;
  sigemptyset(&action.sa_mask);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(signal, &action, nullptr);
}

int StopSignal() {
  return g_stopSignal.load();
}

QString SignalName(int signal) {
  switch (signal) {
    case SIGINT:
      return QStringLiteral("SIGINT");
    case SIGTERM:
      return QStringLiteral("SIGTERM");
    case SIGHUP:
      return QStringLiteral("SIGHUP");
    default:
      return QStringLiteral("signal %1").arg(signal);
  }
}
