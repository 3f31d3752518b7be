// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <mutex>
#include <vector>

#include "cli/commands.h"
#include "cli/programmer.h"
#include "device/record.h"
#include "link/adapters.h"

// How timerctl says how a device ended: to people in their language, to
// scripts as JSON in English, and in the programming record.

// A script's word: ResultWord's English, or "timer" for a scan that found one.
QString ResultOf(const DeviceResult& r, const Command& command);

// One device's line among many: "Com2 /dev/ttyUSB1: verification failed (...)".
QString PeopleLine(const Target& target, const DeviceResult& r, const Command& command);
// The same for scripts, which an inventory takes back: port, the device's
// name in an inventory, result, and reason, configuration (what a read
// found, what a plan wants), what a plan found it held, differences, and
// what an upload or an apply found and sent, where they apply. A read names the device by its
// adapter's serial number where the system knows it: it stays the same in any USB socket.
QJsonObject JsonLine(const Target& target, const DeviceResult& r, const Command& command,
                     const Adapters& adapters);
// The device's name in an inventory, as JsonLine gives it.
QJsonObject IdentityOf(const Target& target, const Command& command, const Adapters& adapters);
QString Compact(const QJsonObject& object);

// The text form of a read: one line per time, then the power-up state.
QStringList ConfigurationLines(const TimerConfig& config);
// What one device's failure says on stderr, as the window would have said it.
QStringList FailureLines(const DeviceResult& r);
// What a command that lists comes to: "16 devices: 12 unchanged, 3
// programmed, 1 failed"; nothing for one that keeps no count.
QString Tally(const std::vector<DeviceResult>& results, const Command& command);

// What the programming record says of a device's run: what was done to which
// device, and how it ended, with what it held before an upload or an apply
// wrote it.
RecordedExchange Recorded(const Command& command, const Target& target, const DeviceResult& r);

// Writes each device's line of the record as soon as its result is known;
// sync() puts them on the disk before the results are reported. Keeps the
// first failure to write.
class RunRecord {
 public:
  RunRecord(const Command& command, const Adapters& adapters)
      : m_command(command), m_adapters(adapters) {}
  bool open(const QString& path) { return m_record.open(path, &m_error); }
  QString error() const { return m_error; }
  // Empty without a record.
  DeviceDone done();
  // Writes and syncs a line with what a device held and what is sent, before
  // it goes out, so that whatever ends the run (a kill, a power cut) the
  // device's "before" is kept; its result follows in a line of its own. Empty
  // without a record.
  BeforeSending sending();
  void sync();

 private:
  void failed(const QString& error);

  const Command& m_command;
  const Adapters& m_adapters;
  RecordFile m_record{QStringLiteral("timerctl"), QStringLiteral(TIMER_VERSION)};
  std::mutex m_lock;
  QString m_error;
};
