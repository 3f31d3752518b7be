// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Debian's ser2net in front of a serial line, on a free loopback port: what a
// serial device server on a plant network does. In raw TCP mode it sets the
// line to 2400 8N1 itself; in RFC 2217 mode it opens it at 9600, and the
// client must set it.

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "support/child_process.h"

class Ser2netProcess {
 public:
  static constexpr std::chrono::seconds kStartTimeout{5};

  explicit Ser2netProcess(const QString& line, bool rfc2217 = false) : m_rfc2217(rfc2217) {
    const QString program = QStandardPaths::findExecutable(
        QStringLiteral("ser2net"), {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")});
    if (program.isEmpty() || !m_dir.isValid()) return;
    for (int attempt = 0; attempt < 5 && !m_child; ++attempt) start(program, line);
  }

  // "tcp:127.0.0.1:PORT", or empty when ser2net did not start.
  QString address() const {
    if (!m_child) return {};
    return (m_rfc2217 ? QStringLiteral("rfc2217://127.0.0.1:%1")
                      : QStringLiteral("tcp:127.0.0.1:%1"))
        .arg(m_port);
  }
  QString problem() const { return m_problem; }

  // Ends ser2net, as a device server that goes away does.
  void stop() { m_child.reset(); }

 private:
  void start(const QString& program, const QString& line) {
    {
      // A port the system just handed out and took back is free for a moment.
      QTcpServer probe;
      if (!probe.listen(QHostAddress::LocalHost)) return;
      m_port = probe.serverPort();
    }
    const QString config = m_dir.filePath(QStringLiteral("ser2net.yaml"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
    file.write(QStringLiteral("connection: &timer\n"
                              "  accepter: %3tcp,127.0.0.1,%1\n"
                              "  connector: serialdev,%2,%4,local\n"
                              "  options:\n"
                              "    kickolduser: true\n")
                   .arg(m_port)
                   .arg(line)
                   .arg(QLatin1String(m_rfc2217 ? "telnet(rfc2217)," : ""))
                   .arg(QLatin1String(m_rfc2217 ? "9600n81" : "2400n81"))
                   .toUtf8());
    file.close();
    auto child = std::make_unique<ChildProcess>(
        program.toStdString(),
        std::vector<std::string>{"-n", "-u", "-P", m_dir.filePath("pid").toStdString(), "-c",
                                 config.toStdString()});
    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    while (std::chrono::steady_clock::now() < deadline && child->running()) {
      QTcpSocket socket;
      socket.connectToHost(QHostAddress::LocalHost, m_port);
      if (socket.waitForConnected(100)) {
        socket.abort();
        m_child = std::move(child);
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    m_problem = QString::fromStdString(child->err());
  }

  bool m_rfc2217 = false;
  QTemporaryDir m_dir;
  quint16 m_port = 0;
  std::unique_ptr<ChildProcess> m_child;
  QString m_problem;
};
