// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_map.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPortInfo>

#include <algorithm>
#include <cstring>
#include <tuple>
#include <utility>

#include "base/text.h"

namespace {

// (family, number, name): families ttyS, ttyUSB, ttyACM, then the rest.
std::tuple<int, qlonglong, QString> SortKey(const QString& location) {
  static const QRegularExpression kNumbered(QStringLiteral("^(ttyS|ttyUSB|ttyACM)(\\d+)$"));
  const QString name = QFileInfo(location).fileName();
  const QRegularExpressionMatch match = kNumbered.match(name);
  if (!match.hasMatch()) return {3, 0, name};
  const QString family = match.captured(1);
  const int rank = family == QLatin1String("ttyS") ? 0 : family == QLatin1String("ttyUSB") ? 1 : 2;
  return {rank, match.captured(2).toLongLong(), name};
}

}  // namespace

QStringList OrderPortNames(QStringList systemLocations) {
  std::stable_sort(systemLocations.begin(), systemLocations.end(),
                   [](const QString& a, const QString& b) { return SortKey(a) < SortKey(b); });
  return systemLocations;
}

PortMap PortMap::FromDevices(const QStringList& systemLocations) {
  PortMap map;
  const QStringList ordered = OrderPortNames(systemLocations);
  for (int i = 0; i < ordered.size() && i < kPortCount; ++i) map.set(i + 1, ordered[i]);
  return map;
}

PortMap PortMap::FromSystem() {
  QStringList locations;
  const auto ports = QSerialPortInfo::availablePorts();
  for (const QSerialPortInfo& info : ports) locations << info.systemLocation();
  return FromDevices(locations);
}

namespace {

// How each scheme is written ahead of HOST:PORT.
const char* Prefix(NetworkScheme scheme) {
  switch (scheme) {
    case NetworkScheme::Raw:
      return "tcp:";
    case NetworkScheme::Rfc2217:
      return "rfc2217://";
    case NetworkScheme::RawTls:
      return "tls:";
    case NetworkScheme::Rfc2217Tls:
      break;
  }
  return "rfc2217+tls://";
}

constexpr NetworkScheme kSchemes[] = {NetworkScheme::Raw, NetworkScheme::Rfc2217,
                                      NetworkScheme::RawTls, NetworkScheme::Rfc2217Tls};

std::optional<NetworkScheme> SchemeOf(const QString& path) {
  for (const NetworkScheme scheme : kSchemes) {
    if (path.startsWith(QLatin1String(Prefix(scheme)))) return scheme;
  }
  return std::nullopt;
}

}  // namespace

bool IsTls(NetworkScheme scheme) {
  return scheme == NetworkScheme::RawTls || scheme == NetworkScheme::Rfc2217Tls;
}

bool SetsTheLine(NetworkScheme scheme) {
  return scheme == NetworkScheme::Rfc2217 || scheme == NetworkScheme::Rfc2217Tls;
}

// Whom to believe (an authority or a pin) is one choice, and a certificate
// goes with its key: a layer above that gives either takes it whole.
void TlsTrust::update(const TlsTrust& other) {
  if (!other.caFile.isEmpty() || !other.pin.isEmpty()) {
    caFile = other.caFile;
    pin = other.pin;
  }
  if (!other.certFile.isEmpty() || !other.keyFile.isEmpty()) {
    certFile = other.certFile;
    keyFile = other.keyFile;
  }
}

bool TlsTrust::operator==(const TlsTrust& other) const {
  return caFile == other.caFile && pin == other.pin && certFile == other.certFile &&
         keyFile == other.keyFile;
}

void PortMap::trustForAll(const TlsTrust& trust) {
  for (int number = 1; number <= kPortCount; ++number) trustFor(number, trust);
}

void PortMap::update(const PortMap& other) {
  m_paths.insert(other.m_paths);
  for (auto it = other.m_trust.begin(); it != other.m_trust.end(); ++it)
    trustFor(it.key(), it.value());
}

bool IsNetworkPath(const QString& path) {
  return SchemeOf(path).has_value();
}

std::optional<NetworkAddress> ParseNetworkPath(const QString& path) {
  const std::optional<NetworkScheme> scheme = SchemeOf(path);
  if (!scheme) return std::nullopt;
  const QString rest = path.mid(qsizetype(std::strlen(Prefix(*scheme))));
  const qsizetype colon = rest.lastIndexOf(QLatin1Char(':'));
  if (colon <= 0) return std::nullopt;
  QString host = rest.left(colon);
  if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
    host = host.mid(1, host.size() - 2);
  bool ok = false;
  const uint port = rest.mid(colon + 1).toUInt(&ok);
  if (!ok || port == 0 || port > 65535 || host.isEmpty()) return std::nullopt;
  return NetworkAddress{host, static_cast<quint16>(port), *scheme};
}

PortMap PortMap::Direct(const QString& path) {
  PortMap map;
  map.set(1, path);
  map.m_direct = true;
  return map;
}

QString PortMap::describe(int number) const {
  return m_direct ? path(number) : DescribeLine(number, path(number));
}

QString DescribeLine(int number, const QString& path) {
  const QString com = QStringLiteral("Com%1").arg(number);
  return path.isEmpty() ? com : com + QStringLiteral(" (") + path + QLatin1Char(')');
}

bool ParsePortOption(const QString& value, PortOption* option, QString* error) {
  const qsizetype equals = value.indexOf(QLatin1Char('='));
  if (equals <= 0) {
    *error = Tr(QT_TRANSLATE_NOOP("timer", "%1: expected N=PATH, for example 1=/dev/ttyUSB0"))
                 .arg(value);
    return false;
  }
  bool ok = false;
  const int number = value.left(equals).trimmed().toInt(&ok);
  if (!ok || number < 1 || number > kPortCount) {
    *error = Tr(QT_TRANSLATE_NOOP("timer", "%1: the port number must be from 1 to %2"))
                 .arg(value)
                 .arg(kPortCount);
    return false;
  }
  const QString path = value.mid(equals + 1);
  if (path.isEmpty()) {
    *error = Tr(QT_TRANSLATE_NOOP("timer", "%1: the device path is empty")).arg(value);
    return false;
  }
  if (IsNetworkPath(path) && !ParseNetworkPath(path)) {
    *error = Tr(QT_TRANSLATE_NOOP(
                    "timer",
                    "%1: expected rfc2217://HOST:PORT, tcp:HOST:PORT, rfc2217+tls://HOST:PORT or "
                    "tls:HOST:PORT, for example tcp:10.0.0.5:4001"))
                 .arg(value);
    return false;
  }
  option->number = number;
  option->path = path;
  return true;
}

bool ParsePortOptions(const QStringList& values, PortMap* map, QString* error) {
  for (const QString& value : values) {
    PortOption option;
    if (!ParsePortOption(value, &option, error)) return false;
    map->set(option.number, option.path);
  }
  return true;
}
