// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/fleet.h"

#include <QThread>

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <iterator>
#include <limits>
#include <memory>
#include <mutex>

namespace {

// Takes the next device not yet served, until none is left; the port and
// the wait live and die on this thread.
class DeviceThread : public QThread {
 public:
  using Serve = std::function<void()>;
  explicit DeviceThread(Serve serve) : m_serve(std::move(serve)) {}

 protected:
  void run() override { m_serve(); }

 private:
  Serve m_serve;
};

int OpenDescriptors() {
  std::error_code error;
  const auto count = std::distance(std::filesystem::directory_iterator("/proc/self/fd", error),
                                   std::filesystem::directory_iterator());
  return error ? kDescriptorsKept : static_cast<int>(count);
}

}  // namespace

void RaiseDescriptorLimit() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == limit.rlim_max) return;
  limit.rlim_cur = limit.rlim_max;
  ::setrlimit(RLIMIT_NOFILE, &limit);
}

int DevicesAtOnce() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return 1;
  constexpr rlim_t kMost = std::numeric_limits<int>::max();
  const auto allowed = static_cast<int>(std::min(limit.rlim_cur, kMost));
  return std::max(1, (allowed - OpenDescriptors() - kDescriptorsKept) / kDescriptorsPerDevice);
}

std::vector<DeviceResult> RunOnDevices(const std::vector<Target>& targets, const Request& request,
                                       const LineMaker& lines,
                                       const std::function<void(int done)>& progress,
                                       const DeviceDone& done, int atOnce) {
  const int all = static_cast<int>(targets.size());
  std::vector<DeviceResult> results(targets.size());
  std::atomic<int> next{0};
  std::mutex mutex;
  std::condition_variable changed;
  int finished = 0;
  const auto serve = [&] {
    for (int at = next++; at < all; at = next++) {
      const auto k = static_cast<std::size_t>(at);
      results[k] = RunOnDevice(targets[k], request, lines, done);
      const std::lock_guard<std::mutex> lock(mutex);
      ++finished;
      changed.notify_all();
    }
  };
  std::vector<std::unique_ptr<DeviceThread>> threads;
  for (int i = 0; i < std::min(all, std::max(1, atOnce)); ++i) {
    threads.push_back(std::make_unique<DeviceThread>(serve));
    threads.back()->start();
  }
  // Where the system gave no thread at all, the devices are served here.
  if (std::none_of(threads.begin(), threads.end(),
                   [](const auto& thread) { return thread->isRunning() || thread->isFinished(); }))
    serve();
  for (int told = -1; told < all;) {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [&] { return finished != told; });
    told = finished;
    lock.unlock();
    if (progress) progress(told);
  }
  for (const auto& thread : threads) thread->wait();
  return results;
}
