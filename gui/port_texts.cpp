// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/port_texts.h"

#include <QFileInfo>
#include <QStringList>

#include "link/adapters.h"
#include "link/port_map.h"

namespace {

constexpr char kNoDeviceBehind[] = "sin dispositivo";
constexpr char kPathMissing[] = "(no existe)";

}  // namespace

QString DescribeComPort(int number, const QString& path, const Adapters& adapters) {
  const QString com = PortEntry(number) + QStringLiteral(": ");
  if (path.isEmpty()) return com + QString::fromUtf8(kNoDeviceBehind);
  if (IsNetworkPath(path)) return com + path;
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
    case PortFault::Other:
      return QStringLiteral("error del puerto");
  }
  return {};
}
