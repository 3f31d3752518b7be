// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslError>
#include <QString>

#include "base/text.h"
#include "link/port_fault.h"
#include "link/port_map.h"

// What a link to a device server behind TLS takes from its trust: whom to
// believe, what to show; or why it cannot be had (a CA file without a
// certificate; a client key that others may read, or behind a passphrase).
struct TlsSetUp {
  QSslConfiguration configuration;
  QByteArray pin;  // the pinned fingerprint's bytes: then the authorities do not count
  PortFault fault = PortFault::None;
  Text reason;
  QString detail;  // the file at fault
};
TlsSetUp TlsSetUpOf(const TlsTrust& trust);

// A certificate's SHA-256 fingerprint as the reasons, JSON, the record and a
// pin write it: "sha256:AB:CD:...".
QString Fingerprint(const QSslCertificate& certificate);
// A pin's bytes, from "sha256:AB:CD:..." or 64 hex digits with colons or
// without; empty when it is neither.
QByteArray PinBytes(const QString& pin);

// Why a handshake that failed on `errors` failed, in the operator's terms,
// and what the reason names of the certificate (its names, its dates).
PortFault TlsFaultOf(const QList<QSslError>& errors, QString* detail);
// A TLS fault said for scripts and people.
Text TlsReason(PortFault fault, const Text& detail);
