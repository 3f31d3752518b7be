// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

// Com1 .. Com16.
inline constexpr int kPortCount = 16;

// The name of port `number` in the port list and in messages: "Com1" .. "Com16".
inline QString PortEntry(int number) {
  return QStringLiteral("Com%1").arg(number);
}

// Whom a device server behind TLS is trusted as, each part optional: the
// authorities in a CA file (the system's without one), or a pinned SHA-256
// fingerprint of its certificate instead; and the client's certificate and key
// for a server that asks for one.
struct TlsTrust {
  QString caFile;
  QString pin;  // "sha256:AB:CD:..." or the 64 hex digits alone
  QString certFile, keyFile;

  // Takes every part `other` gives, over this one's.
  void update(const TlsTrust& other);
  bool operator==(const TlsTrust& other) const;
};

// Which device each Com number designates, and for a device server behind
// TLS whom it is trusted as.
class PortMap {
 public:
  // Com1 .. Com16 in the order OrderPortNames gives the system's serial ports.
  static PortMap FromSystem();
  // Numbers the given device paths from 1 in the order OrderPortNames gives.
  static PortMap FromDevices(const QStringList& systemLocations);
  // One device given by its path rather than by a number: Com1, which messages
  // name by the path alone.
  static PortMap Direct(const QString& path);

  // The path for Com `number`, or an empty text when no device stands behind it.
  QString path(int number) const { return m_paths.value(number); }
  void set(int number, const QString& path) { m_paths.insert(number, path); }
  TlsTrust trust(int number) const { return m_trust.value(number); }
  // Over what the number's trust says already.
  void trustFor(int number, const TlsTrust& trust) { m_trust[number].update(trust); }
  // The same for every number.
  void trustForAll(const TlsTrust& trust);
  // Takes every number `other` designates and what it trusts, over what this
  // one says.
  void update(const PortMap& other);
  bool isEmpty() const { return m_paths.isEmpty(); }
  // Which line a message is about, as DescribeLine says it, or the path alone.
  QString describe(int number) const;

 private:
  QMap<int, QString> m_paths;
  QMap<int, TlsTrust> m_trust;
  bool m_direct = false;
};

// A stable order for the system's ports: ttyS by number, then ttyUSB by
// number, then ttyACM by number, then every other name alphabetically.
QStringList OrderPortNames(QStringList systemLocations);

// "Com1 (/dev/ttyUSB0)", or "Com7" when no device stands behind it: which
// line a message is about.
QString DescribeLine(int number, const QString& path);

// A serial device server's port, written where a device path would stand:
// "tcp:HOST:PORT" in raw mode, "rfc2217://HOST:PORT" in RFC 2217 mode, where
// the program sets the serial line itself, and each inside TLS
// ("tls:HOST:PORT", "rfc2217+tls://HOST:PORT"); "[::1]" for an IPv6 address.
enum class NetworkScheme {
  Raw,         // tcp:HOST:PORT, the server sets the line
  Rfc2217,     // rfc2217://HOST:PORT, this program sets it
  RawTls,      // tls:HOST:PORT
  Rfc2217Tls,  // rfc2217+tls://HOST:PORT
};
bool IsTls(NetworkScheme scheme);
bool SetsTheLine(NetworkScheme scheme);
struct NetworkAddress {
  QString host;
  quint16 port = 0;
  NetworkScheme scheme = NetworkScheme::Raw;
};
bool IsNetworkPath(const QString& path);
std::optional<NetworkAddress> ParseNetworkPath(const QString& path);

struct PortOption {
  int number = 0;
  QString path;
};

// Reads one "N=PATH" entry (N from 1 to 16), from --port or the
// configuration file; on failure returns false and says why in `error`
// ("17=/dev/x: the port number must be from 1 to 16").
bool ParsePortOption(const QString& value, PortOption* option, QString* error);
// Every --port value into `map`; stops at the first that cannot be used.
bool ParsePortOptions(const QStringList& values, PortMap* map, QString* error);
