// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_holder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <optional>
#include <vector>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// "LCK..ttyUSB0" for /dev/ttyUSB0, "LCK..pts_3" for /dev/pts/3.
QString LockName(const QString& canonical) {
  QString name = canonical.startsWith(QLatin1String("/dev/")) ? canonical.mid(5) : canonical;
  return QStringLiteral("LCK..") + name.replace(QLatin1Char('/'), QLatin1Char('_'));
}

// A lock file holds the pid in ASCII, first on its first line ("4242", or
// "      4242 minicom root" as some terminal programs write it), or as a
// binary int.
std::optional<qint64> LockPid(const QString& file) {
  QFile lock(file);
  if (!lock.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray text = lock.read(128);
  bool ok = false;
  const qint64 pid = text.split('\n').value(0).simplified().split(' ').value(0).toLongLong(&ok);
  if (ok && pid > 0) return pid;
  if (text.size() == sizeof(qint32)) {
    qint32 binary = 0;
    std::memcpy(&binary, text.constData(), sizeof binary);
    if (binary > 0) return binary;
  }
  return std::nullopt;
}

// "minicom (pid 4242)" for a live process other than this one.
QString Named(const QString& proc, qint64 pid) {
  if (pid == QCoreApplication::applicationPid()) return {};
  QFile comm(QStringLiteral("%1/%2/comm").arg(proc).arg(pid));
  if (!comm.open(QIODevice::ReadOnly)) return {};
  const QString name = QString::fromLocal8Bit(comm.readAll().trimmed());
  return name.isEmpty() ? QString() : QStringLiteral("%1 (pid %2)").arg(name).arg(pid);
}

// The live process a lock file names, this one included.
std::optional<qint64> FromLockFiles(const QString& canonical, const PortHolderSources& sources) {
  for (const QString& dir : sources.lockDirs) {
    const std::optional<qint64> pid = LockPid(dir + QLatin1Char('/') + LockName(canonical));
    if (pid && QFileInfo::exists(QStringLiteral("%1/%2").arg(sources.proc).arg(*pid))) return pid;
  }
  return std::nullopt;
}

QString FromDescriptors(const QString& canonical, const QString& proc) {
  const QStringList pids = QDir(proc).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
  for (const QString& entry : pids) {
    bool ok = false;
    const qint64 pid = entry.toLongLong(&ok);
    if (!ok || pid == QCoreApplication::applicationPid()) continue;
    const QDir fds(QStringLiteral("%1/%2/fd").arg(proc, entry));
    const QStringList links = fds.entryList(QDir::System | QDir::NoDotAndDotDot);
    for (const QString& fd : links) {
      if (QFileInfo(fds.filePath(fd)).symLinkTarget() == canonical) return Named(proc, pid);
    }
  }
  return {};
}

}  // namespace

QString PortHolder(const QString& devicePath, const PortHolderSources& sources) {
  const QString canonical = QFileInfo(devicePath).canonicalFilePath();
  if (canonical.isEmpty()) return {};
  // A lock says who holds the port, even when it is this process; the
  // descriptors are asked only without one.
  const std::optional<qint64> locker = FromLockFiles(canonical, sources);
  return locker ? Named(sources.proc, *locker) : FromDescriptors(canonical, sources.proc);
}

QString NodeGroup(const QString& devicePath) {
  struct stat node {};
  if (::stat(QFile::encodeName(devicePath).constData(), &node) != 0) return {};
  // Many devices' threads may ask at once: the re-entrant call, with a
  // buffer as large as the system says a group entry may need.
  const long hint = ::sysconf(_SC_GETGR_R_SIZE_MAX);
  std::vector<char> buffer(hint > 0 ? static_cast<std::size_t>(hint) : 16384);
  group entry{};
  group* owner = nullptr;
  while (::getgrgid_r(node.st_gid, &entry, buffer.data(), buffer.size(), &owner) == ERANGE)
    buffer.resize(buffer.size() * 2);
  return owner ? QString::fromLocal8Bit(owner->gr_name) : QString::number(node.st_gid);
}
