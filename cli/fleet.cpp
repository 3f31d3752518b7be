// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/fleet.h"

#include <QThread>

#include <algorithm>
#include <atomic>
#include <condition_variable>
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

}  // namespace

std::vector<DeviceResult> RunOnDevices(const std::vector<Target>& targets, const Request& request,
                                       const LineMaker& lines,
                                       const std::function<void(int done)>& progress,
                                       const DeviceDone& done) {
  const int all = static_cast<int>(targets.size());
  std::vector<DeviceResult> results(targets.size());
  std::atomic<int> next{0};
  std::mutex mutex;
  std::condition_variable changed;
  int finished = 0;
  std::vector<std::unique_ptr<DeviceThread>> threads;
  for (int i = 0; i < std::min(all, kMostAtOnce); ++i) {
    threads.push_back(std::make_unique<DeviceThread>([&] {
      for (int at = next++; at < all; at = next++) {
        const auto k = static_cast<std::size_t>(at);
        results[k] = RunOnDevice(targets[k], request, lines, done);
        const std::lock_guard<std::mutex> lock(mutex);
        ++finished;
        changed.notify_all();
      }
    }));
    threads.back()->start();
  }
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
