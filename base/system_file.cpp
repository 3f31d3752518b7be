// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/system_file.h"

#include <cerrno>
#include <cstring>

#include <unistd.h>

bool WriteAll(int fd, const QByteArray& bytes) {
  qsizetype written = 0;
  while (written < bytes.size()) {
    const ssize_t n =
        ::write(fd, bytes.constData() + written, static_cast<size_t>(bytes.size() - written));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    written += n;
  }
  return true;
}

QString SystemError(const QString& path) {
  return QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
}
