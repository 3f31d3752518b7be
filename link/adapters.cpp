// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/adapters.h"

#include <QFileInfo>
#include <QSerialPortInfo>

#include <algorithm>
#include <utility>

Adapters Adapters::FromSystem() {
  QList<Adapter> adapters;
  const auto ports = QSerialPortInfo::availablePorts();
  for (const QSerialPortInfo& info : ports)
    adapters.append(
        {info.systemLocation(), info.serialNumber(), info.description(), info.manufacturer()});
  return Adapters(std::move(adapters));
}

const Adapters::Adapter* Adapters::find(const QString& path) const {
  const QString canonical = QFileInfo(path).canonicalFilePath();
  const QString device = canonical.isEmpty() ? path : canonical;
  const auto found = std::find_if(m_adapters.begin(), m_adapters.end(),
                                  [&](const Adapter& a) { return a.path == device; });
  return found == m_adapters.end() ? nullptr : &*found;
}

QJsonObject Adapters::describe(const QString& path) const {
  QJsonObject known;
  const Adapter* adapter = find(path);
  if (!adapter) return known;
  const std::pair<const char*, QString> fields[] = {{"serial_number", adapter->serialNumber},
                                                    {"description", adapter->description},
                                                    {"manufacturer", adapter->manufacturer}};
  for (const auto& [key, value] : fields) {
    if (!value.isEmpty()) known.insert(QLatin1String(key), value);
  }
  return known;
}

QStringList Adapters::paths() const {
  QStringList paths;
  for (const Adapter& adapter : m_adapters) paths << adapter.path;
  return paths;
}

QString Adapters::pathOf(const QString& serialNumber) const {
  for (const Adapter& adapter : m_adapters) {
    if (!serialNumber.isEmpty() && adapter.serialNumber == serialNumber) return adapter.path;
  }
  return {};
}
