// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <optional>
#include <vector>

#include "cli/config_file.h"
#include "device/read_back.h"
#include "device/reply.h"
#include "device/session.h"
#include "link/port_map.h"
#include "base/text.h"

// What timerctl does to one device, through a device session (the window's
// commands, answers and wait); and to many at once, each on its own thread
// with its own session.

// Exit codes a script can rely on; with many devices, the largest counts.
inline constexpr int kExitOk = 0;
inline constexpr int kExitNoAnswer = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitPortUnavailable = 3;
inline constexpr int kExitVerifyFailed = 4;

enum class Job { Read, Upload, Fire };

struct Request {
  Job job = Job::Read;
  // For an upload: what to change on top of the device's read-back.
  TimerConfig changes;
  bool verify = true;
  // The line echoes what is sent: drop the echo before each answer.
  bool echo = false;
  // Every byte sent and received, one line each, with the device's label;
  // empty: no trace. Called from the device's thread.
  std::function<void(const QString& device, const QString& line)> trace;
  std::chrono::steady_clock::time_point traceStart = std::chrono::steady_clock::now();
};

struct DeviceResult;
struct Target;
// Told of each device's result as soon as it is known, on the device's thread.
using DeviceDone = std::function<void(const Target& target, const DeviceResult& result)>;

// One device: Com `number` under `ports`.
struct Target {
  QString label;  // "Com2 /dev/ttyUSB1", or the path given with --device
  PortMap ports;
  qint16 number = 1;
  bool byCom = true;  // false: a path given with --device
};

// How timerctl judged a device whose every exchange was answered.
enum class Verdict {
  Ok,
  NoReadBack,          // a read whose answer holds no configuration
  Refused,             // an upload with nothing well formed to start from
  VerificationFailed,  // the device acknowledged an upload but holds something else
};

struct DeviceResult {
  // How the run's last exchange ended; with Answered, the verdict counts.
  End end = End::Answered;
  Verdict verdict = Verdict::Ok;
  int code() const;
  Text reason;  // why, in the system's or the program's words
  // A read's configuration, or what the device had after a failed verify.
  std::optional<TimerConfig> configuration;
  QList<Text> differences;  // "on: sent 00:00:10, device has 00:20:10"
  // What an upload sent, and what the device read back last (at the link,
  // or at the verification).
  std::optional<TimerConfig> sent, readBack;
};
// The exit code and the word for scripts ("ok", "no answer", "refused",
// "port unavailable", "verification failed", "echo"); the English is the
// scripts' word.
int ExitCode(const DeviceResult& result);
Text ResultWord(const DeviceResult& result);

// Compares the read-back of a probe, character for character, with the
// configuration sent (complete): what differs, or that there was no
// read-back at all; nothing when the device holds what was sent.
QList<Text> Verify(const TimerConfig& sent, const ReadBack& readBack);

// One device on its open session: the request, from the link on.
DeviceResult Program(DeviceSession& session, const Request& request);

// How a device is reached, on the device's own thread: the real line in the
// program (RealLine, traced as the request says), a scripted one in tests.
using LineMaker =
    std::function<std::unique_ptr<DeviceLine>(const Target& target, const Request& request)>;
std::unique_ptr<DeviceLine> RealLine(const Target& target, const Request& request);

DeviceResult RunOnDevice(const Target& target, const Request& request, const LineMaker& lines,
                         const DeviceDone& done = {});

// All at once; results in the order of `targets`. `progress` is told how
// many have finished, from the calling thread.
std::vector<DeviceResult> RunOnDevices(const std::vector<Target>& targets, const Request& request,
                                       const LineMaker& lines,
                                       const std::function<void(int done)>& progress = {},
                                       const DeviceDone& done = {});
