// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "base/text.h"
#include "device/read_back.h"
#include "device/reply.h"
#include "device/session.h"
#include "link/port_map.h"

// What timerctl does to one device, through a device session (the window's
// commands, answers and wait); and to many at once, each on its own thread
// with its own session.

// Exit codes a script can rely on; with many devices, the largest counts
// (a plan's: a device that could not be read before one that differs).
inline constexpr int kExitOk = 0;
inline constexpr int kExitNoAnswer = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitPortUnavailable = 3;
inline constexpr int kExitVerifyFailed = 4;
inline constexpr int kExitDiffers = 5;           // plan: something would change
inline constexpr int kExitChangedSincePlan = 6;  // apply --plan: not written
// A run stopped by a signal ends with 128 + its number, above every device's
// code: 130 for SIGINT, 143 for SIGTERM, 129 for SIGHUP.
inline constexpr int kExitBySignal = 128;

// What is done to each device; the command that does it, cli/commands.h.
enum class Job { Read, Scan, Upload, Fire, Plan, Apply };

struct Target;
struct DeviceResult;
// Told on the device's thread just before a configuration goes out, with what
// the device held and what is sent; false: it must not go out.
using BeforeSending = std::function<bool(const Target& target, const DeviceResult& sending)>;

struct Request {
  Job job = Job::Read;
  bool verify = true;
  // The line echoes what is sent: drop the echo before each answer.
  bool echo = false;
  // Every byte sent and received, one line each, with the device's label;
  // empty: no trace. Called from the device's thread.
  std::function<void(const QString& device, const QString& line)> trace;
  std::chrono::steady_clock::time_point traceStart = std::chrono::steady_clock::now();
  BeforeSending sending;
  // The signal that asks the run to stop, or 0; asked before each device
  // starts. Empty: never stopped.
  std::function<int()> interrupted;
};

// One device: Com `number` under `ports`, and what it should hold.
struct Target {
  QString label;  // "Com2 /dev/ttyUSB1", or the path given with --device
  PortMap ports;
  qint16 number = 1;
  bool byCom = true;  // false: a path given with --device
  // How an inventory names it: {"device": PATH}, {"com": N} or
  // {"serial_number": S}.
  QJsonObject identity;
  // An upload's and an apply's changes over the device's read-back; what a
  // plan compares the read-back with. Only the keys given.
  TimerConfig changes;
  // From a saved plan: what the device held when the plan was made (nothing
  // when the plan could not read it). A device that holds something else is
  // not written.
  bool planned = false;
  std::optional<TimerConfig> held;
  // Which device the name reaches ({"path": ..., "serial_number": ...}), and
  // which it reached when the plan was made (empty: not known): a device that
  // is not the one planned is not written.
  QJsonObject reached, reachedAtPlan;
};

// The device a target reaches: its path with every link resolved, or the
// path or address as given where there is nothing to resolve.
QString ReachedPath(const Target& target);

// Com `number` as the port map says, labelled "Com2 /dev/ttyUSB1".
Target ComTarget(const PortMap& map, qint16 number);
// A device given by its path or address, labelled with it; behind TLS,
// trusted as `trust` says.
Target DeviceTarget(const QString& path, const TlsTrust& trust = {});

// How timerctl judged a device whose every exchange was answered.
enum class Verdict {
  Ok,
  NoReadBack,          // a read whose answer holds no configuration
  Refused,             // an upload with nothing well formed to start from
  VerificationFailed,  // the device acknowledged an upload but holds something else
  Unchanged,           // it holds what the inventory says: not written
  Differs,             // a plan: it would be written
  Programmed,          // an apply wrote it, and it holds what was sent
  ChangedSincePlan,    // it holds something else than the plan saw: not written
  Interrupted,         // the run was stopped before this device was started
};

struct DeviceResult {
  // How the run's last exchange ended; with Answered, the verdict counts.
  End end = End::Answered;
  Verdict verdict = Verdict::Ok;
  int code() const;
  Text reason;  // why, in the system's or the program's words
  // A read's configuration, or what the device had after a failed verify.
  std::optional<TimerConfig> configuration;
  // What a verification found, or what a plan would change.
  QList<Text> differences;
  // What an upload sent; what the device read back before it, and last (at
  // the link, or at the verification).
  std::optional<TimerConfig> sent, before, readBack;
  // With Interrupted: the signal that stopped the run.
  int signal = 0;
  // Behind TLS: the device server's certificate's SHA-256 fingerprint.
  QString serverFingerprint;
};
// The exit code and the word for scripts ("ok", "no answer", "refused",
// "port unavailable", "verification failed", "echo", "unchanged"...); the
// English is the scripts' word.
int ExitCode(const DeviceResult& result);
Text ResultWord(const DeviceResult& result);

// How the devices' exit codes make a run's.
enum class Combine {
  Largest,       // the largest
  FailureFirst,  // a plan's: a device that could not be read counts before one that differs
  AnyFound,      // a scan's: 0 when a device answered, else that none did
};
int FleetCode(Combine combine, const std::vector<DeviceResult>& results);

// Compares the read-back of a probe, character for character, with the
// configuration sent (complete): what differs, or that there was no
// read-back at all; nothing when the device holds what was sent.
QList<Text> Verify(const TimerConfig& sent, const ReadBack& readBack);
// What would change on a device that reads back `readBack` if it were given
// `wanted`'s times and power-up, character for character; the mode is not
// compared (the device does not report it). Empty: it holds them.
QList<Text> Departures(const TimerConfig& wanted, const ReadBack& readBack);

// One device on its open session: the request's job, from the link on.
DeviceResult Program(DeviceSession& session, const Request& request, const Target& target);

// How a device is reached, on the device's own thread: the real line in the
// program (RealLine, traced as the request says), a scripted one in tests.
using LineMaker =
    std::function<std::unique_ptr<DeviceLine>(const Target& target, const Request& request)>;
std::unique_ptr<DeviceLine> RealLine(const Target& target, const Request& request);

// Told of each device's result as soon as it is known, on the device's thread.
using DeviceDone = std::function<void(const Target& target, const DeviceResult& result)>;

DeviceResult RunOnDevice(const Target& target, const Request& request, const LineMaker& lines,
                         const DeviceDone& done = {});
