// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A serial device server in front of a serial line, on a free loopback port:
// what a plant network has. Debian's ser2net in raw TCP mode sets the line to
// 2400 8N1 itself; in RFC 2217 mode it opens it at 9600 and the client must
// set it. pyserial's RFC 2217 server example (python3-serial) serves one
// client at a time and takes a few seconds to notice that one left. Behind
// TLS: ser2net's RFC 2217 inside its ssl accepter, and socat's raw
// OPENSSL-LISTEN, which demands a client certificate its authority signed.

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <chrono>
#include <memory>
#include <thread>

#include "support/process.h"

class DeviceServer {
 public:
  enum class Kind { Ser2netRaw, Ser2netRfc2217, Pyserial, Ser2netRfc2217Tls, SocatTls };
  static constexpr std::chrono::seconds kStartTimeout{5};
  // Behind TLS: the server's certificate and key; socat's clients' authority.
  struct Tls {
    QString cert, key, clientCa;
  };

  explicit DeviceServer(const QString& line, Kind kind = Kind::Ser2netRaw, Tls tls = {})
      : m_kind(kind), m_tls(std::move(tls)) {
    if (!m_dir.isValid()) return;
    for (int attempt = 0; attempt < 5 && !m_child; ++attempt) start(line);
  }

  // "tcp:127.0.0.1:PORT", "rfc2217://127.0.0.1:PORT" and their TLS forms, or
  // empty when the server did not start.
  QString address() const {
    if (!m_child) return {};
    const char* scheme = m_kind == Kind::Ser2netRaw          ? "tcp:"
                         : m_kind == Kind::Ser2netRfc2217Tls ? "rfc2217+tls://"
                         : m_kind == Kind::SocatTls          ? "tls:"
                                                             : "rfc2217://";
    return QLatin1String(scheme) + QStringLiteral("127.0.0.1:%1").arg(m_port);
  }
  QString problem() const { return m_problem; }

  // Ends the server, as a device server that goes away does.
  void stop() { m_child.reset(); }

 private:
  void start(const QString& line) {
    {
      // A port the system just handed out and took back is free for a moment.
      QTcpServer probe;
      if (!probe.listen(QHostAddress::LocalHost)) return;
      m_port = probe.serverPort();
    }
    QStringList command = m_kind == Kind::Pyserial   ? pyserialCommand(line)
                          : m_kind == Kind::SocatTls ? socatCommand(line)
                                                     : ser2netCommand(line);
    if (command.empty()) return;
    auto child = std::make_unique<Process>(command.takeFirst(), command);
    if (ready(*child)) {
      m_child = std::move(child);
    } else {
      m_problem = child->err() + child->out();
    }
  }

  QStringList ser2netCommand(const QString& line) {
    const QString program = QStandardPaths::findExecutable(
        QStringLiteral("ser2net"), {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")});
    const bool rfc2217 = m_kind != Kind::Ser2netRaw;
    const QString tls = m_kind == Kind::Ser2netRfc2217Tls
                            ? QStringLiteral("ssl(key=%1,cert=%2),").arg(m_tls.key, m_tls.cert)
                            : QString();
    const QString config = m_dir.filePath(QStringLiteral("ser2net.yaml"));
    QFile file(config);
    if (program.isEmpty()) m_problem = QStringLiteral("no ser2net (scripts/install-deps.sh)");
    if (program.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return {};
    file.write(QStringLiteral("connection: &timer\n"
                              "  accepter: %3%5tcp,127.0.0.1,%1\n"
                              "  connector: serialdev,%2,%4,local\n"
                              "  options:\n"
                              "    kickolduser: true\n")
                   .arg(m_port)
                   .arg(line, QLatin1String(rfc2217 ? "telnet(rfc2217)," : ""),
                        QLatin1String(rfc2217 ? "9600n81" : "2400n81"), tls)
                   .toUtf8());
    return {program, "-n", "-u", "-P", m_dir.filePath("pid"), "-c", config};
  }

  QStringList socatCommand(const QString& line) const {
    // -t 0: a connection's child lets the line go as soon as its client left.
    return {"/usr/bin/socat", "-t", "0",
            QStringLiteral("OPENSSL-LISTEN:%1,bind=127.0.0.1,reuseaddr,fork,cert=%2,key=%3,"
                           "cafile=%4,verify=1")
                .arg(m_port)
                .arg(m_tls.cert, m_tls.key, m_tls.clientCa),
            "FILE:" + line + ",raw,echo=0,b2400"};
  }

  QStringList pyserialCommand(const QString& line) const {
    return {"/usr/bin/python3", TIMER_PYSERIAL_SERVER, line, "-p", QString::number(m_port)};
  }

  // Whether the server serves: ser2net when it accepts a connection;
  // pyserial's when it says so, since a connection would keep it busy.
  bool ready(Process& child) const {
    if (m_kind == Kind::Pyserial)
      return child.waitForOutput([](const QString& out) { return out.contains("TCP/IP port"); },
                                 kStartTimeout);
    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    while (std::chrono::steady_clock::now() < deadline && child.running()) {
      QTcpSocket socket;
      socket.connectToHost(QHostAddress::LocalHost, m_port);
      if (socket.waitForConnected(100)) {
        socket.abort();
        return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }

  Kind m_kind;
  Tls m_tls;
  QTemporaryDir m_dir;
  quint16 m_port = 0;
  std::unique_ptr<Process> m_child;
  QString m_problem;
};
