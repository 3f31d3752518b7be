// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFile>
#include <QFileInfo>
#include <QHostInfo>
#include <QString>
#include <QTest>

#include "support/process.h"

// Another program holding a serial device open: a child `sleep`, and, when
// asked, the lock file a Qt program writes for it (one first line with the pid).
class HeldPort {
 public:
  HeldPort(const QString& path, bool locked)
      : m_child(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), "exec sleep 60 <> " + path}) {
    m_running = QTest::qWaitFor([this] { return comm() == "sleep"; }, 2000);
    if (!locked) return;
    m_lock.setFileName(QStringLiteral("/var/lock/LCK..") +
                       QFileInfo(path).canonicalFilePath().mid(5).replace('/', '_'));
    if (m_lock.open(QIODevice::WriteOnly))
      m_lock.write(
          QStringLiteral("%1\nsleep\n%2\n").arg(pid()).arg(QHostInfo::localHostName()).toUtf8());
    m_lock.close();
  }
  ~HeldPort() { m_lock.remove(); }

  qint64 pid() const { return m_child.pid(); }
  bool running() const { return m_running; }
  // How the holder is named: "sleep (pid 4242)".
  QString name() const { return QStringLiteral("sleep (pid %1)").arg(pid()); }

 private:
  QByteArray comm() const {
    QFile file(QStringLiteral("/proc/%1/comm").arg(pid()));
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray();
  }

  Process m_child;
  bool m_running = false;
  QFile m_lock;
};
