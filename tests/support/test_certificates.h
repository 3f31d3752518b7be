// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Certificates made for a test by Debian's openssl, in a folder of its own:
// an authority (ca), a server certificate for 127.0.0.1 (server), one that
// has expired and one for another name (both with the server's key), a
// client certificate (client), a self-signed one (self), an authority nobody
// trusts with a client of its own (rogue), and the client's key behind a
// passphrase and readable by all. The other keys are readable by their owner
// alone.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "support/process.h"

class TestCertificates {
 public:
  TestCertificates() {
    Process make(QStringLiteral("/bin/sh"), {"-ec", kScript}, {"DIR=" + m_dir.path()});
    m_made = make.wait(std::chrono::seconds(30)) == 0;
    for (const QString& key : QDir(m_dir.path()).entryList({"*.key"}))
      QFile::setPermissions(path(key), QFile::ReadOwner | QFile::WriteOwner);
  }
  bool made() const { return m_made; }
  QString path(const QString& name) const { return m_dir.filePath(name); }

 private:
  static constexpr char kScript[] = R"(cd "$DIR"
key() { openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout $1.key \
  -out $1.csr -subj "/CN=$2" 2>/dev/null; }
sign() { openssl x509 -req -in $1.csr -CA $2.pem -CAkey $2.key -CAcreateserial -out $3.pem \
  -days $4 ${5:+-extfile $5} 2>/dev/null; }
for ca in ca rogue; do openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes \
  -keyout $ca.key -out $ca.pem -days 30 -subj "/CN=Test $ca" 2>/dev/null; done
key server ser2net-hall3; key client line-pc-3; key rogue-client rogue-pc
echo subjectAltName=IP:127.0.0.1 > ip.ext; echo subjectAltName=DNS:elsewhere.invalid > dns.ext
sign server ca server 30 ip.ext; sign server ca expired -1 ip.ext; sign server ca other-name 30 dns.ext
sign client ca client 30; sign rogue-client rogue rogue-client 30
openssl req -x509 -key server.key -out self.pem -days 30 -subj /CN=self -addext \
  subjectAltName=IP:127.0.0.1 2>/dev/null
openssl ec -in client.key -out passphrase.key -aes256 -passout pass:secret 2>/dev/null
cp client.key readable-key.pem; chmod 644 readable-key.pem)";
  QTemporaryDir m_dir;
  bool m_made = false;
};
