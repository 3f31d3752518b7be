// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/tls.h"

#include <QFile>
#include <QSslKey>
#include <QStringList>

#include <sys/stat.h>

namespace {

constexpr char kPinScheme[] = "sha256:";

Text KeyProblem(const char* why, const QString& file, TlsSetUp& setUp) {
  setUp.detail = file;
  return Text(why, {file});
}

// The client's certificate and key, refused as ssh refuses a key that others
// may read, and when a passphrase would have to be typed.
void TakeClientIdentity(const TlsTrust& trust, TlsSetUp& setUp) {
  const QList<QSslCertificate> certificates = QSslCertificate::fromPath(trust.certFile);
  struct stat key {};
  const QByteArray keyName = QFile::encodeName(trust.keyFile);
  QFile keyFile(trust.keyFile);
  if (certificates.isEmpty()) {
    setUp.reason =
        KeyProblem(QT_TRANSLATE_NOOP("timer", "%1: holds no certificate"), trust.certFile, setUp);
  } else if (::stat(keyName.constData(), &key) != 0 || !keyFile.open(QIODevice::ReadOnly)) {
    setUp.reason =
        KeyProblem(QT_TRANSLATE_NOOP("timer", "%1: cannot be read"), trust.keyFile, setUp);
  } else if ((key.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
    setUp.reason = KeyProblem(
        QT_TRANSLATE_NOOP("timer", "%1: others may read the key; it is not used (chmod 600 it)"),
        trust.keyFile, setUp);
  } else {
    const QByteArray pem = keyFile.readAll();
    QSslKey privateKey(pem, QSsl::Ec);
    if (privateKey.isNull()) privateKey = QSslKey(pem, QSsl::Rsa);
    if (pem.contains("ENCRYPTED")) {
      setUp.reason =
          KeyProblem(QT_TRANSLATE_NOOP("timer",
                                       "%1: the key is protected by a passphrase, "
                                       "which nobody can type here: give it without one"),
                     trust.keyFile, setUp);
    } else if (privateKey.isNull()) {
      setUp.reason =
          KeyProblem(QT_TRANSLATE_NOOP("timer", "%1: holds no private key"), trust.keyFile, setUp);
    } else {
      setUp.configuration.setLocalCertificate(certificates.first());
      setUp.configuration.setPrivateKey(privateKey);
      return;
    }
  }
  setUp.fault = PortFault::TlsUnusableKey;
}

}  // namespace

TlsSetUp TlsSetUpOf(const TlsTrust& trust) {
  TlsSetUp setUp;
  setUp.configuration = QSslConfiguration::defaultConfiguration();
  setUp.configuration.setProtocol(QSsl::TlsV1_2OrLater);
  if (!trust.pin.isEmpty()) {
    setUp.pin = PinBytes(trust.pin);
    // The pin decides: a self-signed certificate is what it is for.
    setUp.configuration.setPeerVerifyMode(QSslSocket::QueryPeer);
    if (setUp.pin.isEmpty()) {
      setUp.fault = PortFault::TlsUnusableKey;
      setUp.reason =
          Text(QT_TRANSLATE_NOOP("timer", "the pin %1 is no SHA-256 fingerprint"), {trust.pin});
      return setUp;
    }
  } else if (!trust.caFile.isEmpty()) {
    const QList<QSslCertificate> authorities = QSslCertificate::fromPath(trust.caFile);
    if (authorities.isEmpty()) {
      setUp.fault = PortFault::TlsUnusableKey;
      setUp.reason =
          KeyProblem(QT_TRANSLATE_NOOP("timer", "%1: holds no certificate"), trust.caFile, setUp);
      return setUp;
    }
    setUp.configuration.setCaCertificates(authorities);
  }
  if (trust.certFile.isEmpty() != trust.keyFile.isEmpty()) {
    setUp.fault = PortFault::TlsUnusableKey;
    setUp.reason = Text(QT_TRANSLATE_NOOP(
        "timer", "a client certificate goes with its key: give both, or neither"));
  } else if (!trust.certFile.isEmpty()) {
    TakeClientIdentity(trust, setUp);
  }
  return setUp;
}

QString Fingerprint(const QSslCertificate& certificate) {
  return QLatin1String(kPinScheme) +
         QString::fromLatin1(certificate.digest(QCryptographicHash::Sha256).toHex(':').toUpper());
}

QByteArray PinBytes(const QString& pin) {
  QString hex = pin.startsWith(QLatin1String(kPinScheme), Qt::CaseInsensitive)
                    ? pin.mid(qsizetype(sizeof kPinScheme - 1))
                    : pin;
  hex.remove(QLatin1Char(':'));
  const QByteArray bytes = QByteArray::fromHex(hex.toLatin1());
  return bytes.size() == 32 && bytes.toHex().compare(hex.toLatin1(), Qt::CaseInsensitive) == 0
             ? bytes
             : QByteArray();
}

PortFault TlsFaultOf(const QList<QSslError>& errors, QString* detail) {
  for (const QSslError& error : errors) {
    const QSslCertificate certificate = error.certificate();
    switch (error.error()) {
      case QSslError::HostNameMismatch:
        *detail = certificate.subjectAlternativeNames().values().join(QStringLiteral(", "));
        if (detail->isEmpty())
          *detail = certificate.subjectInfo(QSslCertificate::CommonName).join(QStringLiteral(", "));
        return PortFault::TlsOtherHost;
      case QSslError::CertificateExpired:
        *detail = certificate.expiryDate().toString(Qt::ISODate);
        return PortFault::TlsExpired;
      case QSslError::CertificateNotYetValid:
        *detail = certificate.effectiveDate().toString(Qt::ISODate);
        return PortFault::TlsNotYetValid;
      case QSslError::UnableToGetLocalIssuerCertificate:
      case QSslError::UnableToGetIssuerCertificate:
      case QSslError::UnableToVerifyFirstCertificate:
      case QSslError::SelfSignedCertificate:
      case QSslError::SelfSignedCertificateInChain:
      case QSslError::CertificateUntrusted:
        *detail = Fingerprint(certificate);
        return PortFault::TlsUntrusted;
      default:
        break;
    }
  }
  *detail = errors.isEmpty() ? QString() : errors.first().errorString();
  return PortFault::TlsOther;
}

Text TlsReason(PortFault fault, const Text& detail) {
  switch (fault) {
    case PortFault::TlsUntrusted:
      return Text(QT_TRANSLATE_NOOP("timer",
                                    "the device server's certificate is signed by an authority "
                                    "not trusted here (its fingerprint: %1)"),
                  {detail});
    case PortFault::TlsOtherHost:
      return Text(
          QT_TRANSLATE_NOOP("timer", "the device server's certificate names another host (%1)"),
          {detail});
    case PortFault::TlsExpired:
      return Text(QT_TRANSLATE_NOOP("timer", "the device server's certificate has expired (%1)"),
                  {detail});
    case PortFault::TlsNotYetValid:
      return Text(
          QT_TRANSLATE_NOOP("timer", "the device server's certificate is not yet valid (%1)"),
          {detail});
    case PortFault::TlsNotPinned:
      return Text(QT_TRANSLATE_NOOP("timer",
                                    "the device server's certificate is not the pinned one: its "
                                    "fingerprint is %1"),
                  {detail});
    case PortFault::TlsNoClientCertificate:
      return Text(QT_TRANSLATE_NOOP(
          "timer", "the device server asks for a client certificate and none was given"));
    case PortFault::TlsCertificateRefused:
      return Text(QT_TRANSLATE_NOOP("timer", "the device server refused the client certificate"));
    case PortFault::TlsPlainText:
      return Text(QT_TRANSLATE_NOOP("timer",
                                    "the device server does not speak TLS: it answered in plain "
                                    "text (probably an rfc2217:// or tcp: server)"));
    case PortFault::TlsTimeout:
      return Text(QT_TRANSLATE_NOOP("timer", "the TLS handshake did not finish within %1 s"),
                  {detail});
    default:
      break;
  }
  return Text(QT_TRANSLATE_NOOP("timer", "the TLS handshake failed: %1"), {detail});
}
