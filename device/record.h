// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>

#include <mutex>
#include <optional>

#include "base/text.h"
#include "device/timer_config.h"

class Adapters;

// What one line of the programming record says of one exchange with one
// device, in the window and in timerctl alike.
struct RecordedExchange {
  QString operation;       // "read", "upload"...; the window's "link", "line lost"
  QString path;            // the device path or address
  std::optional<int> com;  // none for a device given by its path
  QString result;          // as scripts read it: "ok", "no answer"...
  std::optional<int> exitCode;
  std::optional<TimerConfig> before, sent, readBack;
  Text reason;
  QList<Text> differences;
  QString serverFingerprint;  // behind TLS, the device server's certificate's
};
// The line's fields, with what `adapters` know of the adapter behind the path;
// words in English.
QJsonObject RecordEntry(const RecordedExchange& exchange, const Adapters& adapters);

// A programming record: one JSON object per line, appended to a file that
// several programs may append to at once. Each line is written whole, in one
// write under an exclusive lock; sync() puts every line written so far on the
// disk, which a program does before it reports what the lines say.
class RecordFile {
 public:
  // `program` and `version` go into every line.
  RecordFile(QString program, QString version);
  ~RecordFile();
  RecordFile(const RecordFile&) = delete;
  RecordFile& operator=(const RecordFile&) = delete;

  // Opens `path` for appending (creating it); on failure says why.
  bool open(const QString& path, QString* error);
  bool isOpen() const { return m_fd >= 0; }
  QString path() const { return m_path; }

  // Appends `entry` with the time (ISO 8601, with the offset), the program and
  // its version; safe from many threads. On failure says why.
  bool append(QJsonObject entry, QString* error);
  // One flush to the disk for every line appended before it: a fleet's
  // lines cost one, not one each.
  bool sync(QString* error);

 private:
  QString m_program, m_version, m_path;
  int m_fd = -1;
  std::mutex m_mutex;
};
