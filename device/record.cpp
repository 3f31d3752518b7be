// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/record.h"

#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <cerrno>
#include <cstdlib>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/system_file.h"
#include "link/adapters.h"

namespace {

// Whether the file's last line was cut off (a power loss, a full disk, a
// program killed in its write). A pipe or a terminal has no last line.
bool EndsMidLine(int fd) {
  struct stat file {};
  if (::fstat(fd, &file) != 0 || !S_ISREG(file.st_mode) || file.st_size == 0) return false;
  char last = '\n';
  return ::pread(fd, &last, 1, file.st_size - 1) == 1 && last != '\n';
}

// ISO 8601 with the offset written out, "+00:00" included, never "Z".
QString Now() {
  const QDateTime now = QDateTime::currentDateTime();
  const int offset = now.offsetFromUtc();
  const int minutes = std::abs(offset) / 60;
  return now.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")) +
         QStringLiteral("%1%2:%3")
             .arg(QLatin1Char(offset < 0 ? '-' : '+'))
             .arg(minutes / 60, 2, 10, QLatin1Char('0'))
             .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

QJsonObject RecordEntry(const RecordedExchange& e, const Adapters& adapters) {
  QJsonObject entry{{QStringLiteral("operation"), e.operation},
                    {QStringLiteral("path"), e.path},
                    {QStringLiteral("result"), e.result}};
  if (e.com) entry.insert(QStringLiteral("com"), *e.com);
  if (e.exitCode) entry.insert(QStringLiteral("exit_code"), *e.exitCode);
  const QJsonObject adapter = adapters.describe(e.path);
  if (!adapter.isEmpty()) entry.insert(QStringLiteral("adapter"), adapter);
  const std::pair<const char*, const std::optional<TimerConfig>&> configurations[] = {
      {"before", e.before}, {"sent", e.sent}, {"read_back", e.readBack}};
  for (const auto& [key, configuration] : configurations) {
    if (configuration) entry.insert(QLatin1String(key), ToJson(*configuration));
  }
  if (!e.reason.isEmpty()) entry.insert(QStringLiteral("reason"), e.reason.english());
  if (!e.serverFingerprint.isEmpty())
    entry.insert(QStringLiteral("server_fingerprint"), e.serverFingerprint);
  if (!e.differences.isEmpty())
    entry.insert(QStringLiteral("differences"),
                 QJsonArray::fromStringList(EnglishOf(e.differences)));
  return entry;
}

RecordFile::RecordFile(QString program, QString version)
    : m_program(std::move(program)), m_version(std::move(version)) {}

RecordFile::~RecordFile() {
  if (m_fd >= 0) ::close(m_fd);
}

bool RecordFile::open(const QString& path, QString* error) {
  m_path = path;
  const QByteArray name = QFile::encodeName(path);
  // Read as well, to find a line cut off at the end; a file this user may
  // only write is written all the same.
  m_fd = ::open(name.constData(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (m_fd < 0 && errno == EACCES)
    m_fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (m_fd < 0) *error = SystemError(path);
  return m_fd >= 0;
}

bool RecordFile::append(QJsonObject entry, QString* error) {
  entry.insert(QStringLiteral("time"), Now());
  entry.insert(QStringLiteral("program"), m_program);
  entry.insert(QStringLiteral("version"), m_version);
  QByteArray line = QJsonDocument(entry).toJson(QJsonDocument::Compact) + '\n';

  const std::lock_guard<std::mutex> lock(m_mutex);
  // The lock keeps another program's line out of the middle of this one,
  // wherever the file lives. A torn line is left as it is: this one starts
  // on a line of its own.
  bool written = ::flock(m_fd, LOCK_EX) == 0;
  if (written && EndsMidLine(m_fd)) line.prepend('\n');
  written = written && WriteAll(m_fd, line);
  if (!written) *error = SystemError(m_path);
  ::flock(m_fd, LOCK_UN);
  return written;
}

bool RecordFile::sync(QString* error) {
  // A pipe or a terminal has no disk to flush to.
  if (::fsync(m_fd) == 0 || errno == EINVAL) return true;
  *error = SystemError(m_path);
  return false;
}
