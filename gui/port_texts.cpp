// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/port_texts.h"

#include <QFileInfo>
#include <QStringList>

#include "link/adapters.h"
#include "link/port_map.h"

namespace {

constexpr char kNoDeviceBehind[] = "sin dispositivo";
constexpr char kPathMissing[] = "(no existe)";

// " (detail)", or nothing without one.
QString Enclosed(const QString& detail) {
  return detail.isEmpty() ? QString() : QStringLiteral(" (") + detail + QLatin1Char(')');
}

}  // namespace

QString DescribeComPort(int number, const QString& path, const Adapters& adapters,
                        const QString& channel) {
  const QString com = PortEntry(number) + QStringLiteral(": ");
  if (path.isEmpty()) return com + QString::fromUtf8(kNoDeviceBehind);
  if (IsNetworkPath(path))
    return com + path + (channel.isEmpty() ? QString() : QStringLiteral(" · ") + channel);
  QStringList parts{path};
  // A by-id name or a link stands for the device it resolves to.
  const QString target = QFileInfo(path).canonicalFilePath();
  if (target.isEmpty()) return com + path + QLatin1Char(' ') + QString::fromUtf8(kPathMissing);
  if (const Adapters::Adapter* adapter = adapters.find(path)) {
    if (target != path) parts << adapter->path;
    for (const QString& known : {adapter->description, adapter->serialNumber}) {
      if (!known.isEmpty()) parts << known;
    }
  }
  return com + parts.join(QStringLiteral(" · "));
}

QString FaultText(PortFault fault, const QString& detail) {
  switch (fault) {
    case PortFault::None:
      break;
    case PortFault::NoDevice:
      return QString::fromUtf8(kNoDeviceBehind);
    case PortFault::Missing:
      return QStringLiteral("no existe o está desconectado");
    case PortFault::PermissionDenied:
      return detail.isEmpty()
                 ? QStringLiteral("sin permiso")
                 : QStringLiteral("sin permiso: el usuario debe estar en el grupo ") + detail;
    case PortFault::Busy:
      return QStringLiteral("en uso por ") +
             (detail.isEmpty() ? QStringLiteral("otro programa") : detail);
    case PortFault::Unplugged:
      return QStringLiteral("el adaptador se desconectó");
    case PortFault::Refused:
      return QStringLiteral("red: conexión rechazada");
    case PortFault::HostNotFound:
      return QStringLiteral("red: servidor no encontrado");
    case PortFault::NoResponse:
      return QStringLiteral("red: sin respuesta");
    case PortFault::ConnectionLost:
      return QStringLiteral("red: conexión perdida");
    case PortFault::SettingRefused:
      return QStringLiteral("red: el servidor no ajustó la línea a 2400 8N1");
    case PortFault::TlsUntrusted:
      return QStringLiteral("TLS: certificado de una autoridad no reconocida");
    case PortFault::TlsOtherHost:
      return QStringLiteral("TLS: el certificado es de otro servidor") + Enclosed(detail);
    case PortFault::TlsExpired:
      return QStringLiteral("TLS: el certificado ha caducado") + Enclosed(detail);
    case PortFault::TlsNotYetValid:
      return QStringLiteral("TLS: el certificado aún no es válido") + Enclosed(detail);
    case PortFault::TlsNotPinned:
      return QStringLiteral("TLS: la huella del certificado no es la fijada: ") + detail;
    case PortFault::TlsNoClientCertificate:
      return QStringLiteral("TLS: el servidor pide un certificado de cliente");
    case PortFault::TlsCertificateRefused:
      return QStringLiteral("TLS: el servidor rechazó el certificado de cliente");
    case PortFault::TlsPlainText:
      return QStringLiteral("TLS: el servidor no habla TLS, responde en claro");
    case PortFault::TlsTimeout:
      return QStringLiteral("TLS: el saludo no terminó a tiempo");
    case PortFault::TlsUnusableKey:
      return QStringLiteral("TLS: no se puede usar ") + detail;
    case PortFault::TlsOther:
      return QStringLiteral("TLS: ") + detail;
    case PortFault::Other:
      return QStringLiteral("error del puerto");
  }
  return {};
}
