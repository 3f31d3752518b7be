// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <mutex>

#include "cli/programmer.h"
#include "device/record.h"

// How timerctl says how a device ended: to people in their language, to
// scripts as JSON in English, and in the programming record.

// A script's word: ResultWord's English, or "timer" for a scan that found one.
QString ResultOf(const DeviceResult& r, bool scan);

// One device's line among many: "Com2 /dev/ttyUSB1: verification failed (...)".
QString PeopleLine(const Target& target, const DeviceResult& r, bool scan);
// The same for scripts: port, result, and reason, configuration and
// differences where they apply.
QJsonObject JsonLine(const Target& target, const DeviceResult& r, bool scan);
QString Compact(const QJsonObject& object);

// The text form of a read: one line per time, then the power-up state.
QStringList ConfigurationLines(const TimerConfig& config);
// What one device's failure says on stderr, as the window would have said it.
QStringList FailureLines(const DeviceResult& r);

// One line of the programming record: what was done to which device, and how
// it ended.
QJsonObject RecordEntry(const QString& operation, const Target& target, const DeviceResult& r);

// Writes each device's line of the record as soon as its result is known,
// before it is reported; keeps the first failure to write.
class RunRecord {
 public:
  explicit RunRecord(QString operation) : m_operation(std::move(operation)) {}
  bool open(const QString& path) { return m_record.open(path, &m_error); }
  QString error() const { return m_error; }
  // Empty without a record.
  DeviceDone done();

 private:
  QString m_operation;
  RecordFile m_record{QStringLiteral("timerctl"), QStringLiteral(TIMER_VERSION)};
  std::mutex m_lock;
  QString m_error;
};
