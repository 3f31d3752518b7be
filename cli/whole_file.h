// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// A file written whole or not at all: a file is written beside its old self
// and takes its name only once complete and on the disk, so that a full disk
// or a run cut short leaves the old one as it was. A FIFO, a terminal or
// another device is written directly. Opened before the run, so that a name
// that cannot be written stops it before any port opens; written once, at the
// end; never written, it leaves the old file untouched.
class WholeFile {
 public:
  explicit WholeFile(QString name) : m_name(std::move(name)) {}
  ~WholeFile();
  WholeFile(const WholeFile&) = delete;
  WholeFile& operator=(const WholeFile&) = delete;

  // On failure says why, in the system's words.
  bool open(QString* error);
  bool write(const QByteArray& text, QString* error);

 private:
  QString m_name;
  QByteArray m_target;   // the file itself, links resolved
  QByteArray m_scratch;  // beside it, until it takes the target's name
  int m_fd = -1;
};
