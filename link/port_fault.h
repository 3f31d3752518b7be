// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Why a port is not available, in the terms an operator acts on.
enum class PortFault {
  None,
  NoDevice,          // no device stands behind the Com number
  Missing,           // the path does not exist: unplugged, or mistyped
  PermissionDenied,  // the user may not open it (not in the dialout group)
  Busy,              // another program holds it
  Unplugged,         // it failed while open: the adapter went away
  Refused,           // network: nothing listens at that address
  HostNotFound,      // network: the name does not resolve
  NoResponse,        // network: no answer within the connect time
  ConnectionLost,    // network: the connection dropped while open
  SettingRefused,    // network: the device server refused to set the line
  // TLS: the server's certificate is signed by an authority not trusted
  // here, names another host, has expired or is not yet valid, or is not the
  // pinned one; the server asks for a client certificate and none was given,
  // or refused the one given; it answered in plain text; the handshake did not
  // finish in time; the client's key or certificate cannot be used.
  TlsUntrusted,
  TlsOtherHost,
  TlsExpired,
  TlsNotYetValid,
  TlsNotPinned,
  TlsNoClientCertificate,
  TlsCertificateRefused,
  TlsPlainText,
  TlsTimeout,
  TlsUnusableKey,
  TlsOther,
  Other,
};
