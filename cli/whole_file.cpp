// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/whole_file.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/system_file.h"

WholeFile::~WholeFile() {
  if (m_fd >= 0) ::close(m_fd);
  if (!m_scratch.isEmpty()) ::unlink(m_scratch.constData());
}

bool WholeFile::open(QString* error) {
  const QFileInfo info(m_name);
  m_target = QFile::encodeName(info.exists() ? info.canonicalFilePath() : m_name);
  struct stat old {};
  const bool exists = ::stat(m_target.constData(), &old) == 0;
  if (exists && !S_ISREG(old.st_mode)) {
    // Nothing to rename over.
    m_fd = ::open(m_target.constData(), O_WRONLY | O_CLOEXEC);
  } else {
    m_scratch = m_target + ".XXXXXX";
    m_fd = ::mkostemp(m_scratch.data(), O_CLOEXEC);
    if (m_fd < 0) m_scratch.clear();
    // The old file's permissions, or a new file's. The mask is read by
    // setting it: no other thread runs yet.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (m_fd >= 0) ::fchmod(m_fd, exists ? old.st_mode & 07777 : 0666 & ~mask);
  }
  if (m_fd < 0) *error = SystemError(m_name);
  return m_fd >= 0;
}

bool WholeFile::write(const QByteArray& text, QString* error) {
  bool written = WriteAll(m_fd, text);
  if (!m_scratch.isEmpty()) {
    written =
        written && ::fsync(m_fd) == 0 && ::rename(m_scratch.constData(), m_target.constData()) == 0;
    if (written) m_scratch.clear();
  }
  if (!written) *error = SystemError(m_name);
  return written;
}
