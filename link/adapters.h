// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

// What the system knows of its serial adapters, asked once: asking costs a
// walk through the system's devices, too slow to repeat for every line of a
// record or every entry of an inventory.
class Adapters {
 public:
  struct Adapter {
    QString path;  // the device node, "/dev/ttyUSB0"
    QString serialNumber, description, manufacturer;
  };

  static Adapters FromSystem();
  explicit Adapters(QList<Adapter> adapters = {}) : m_adapters(std::move(adapters)) {}

  // "serial_number", "description" and "manufacturer" of the adapter behind
  // `path` (a device node, or a link to one such as a /dev/serial/by-id/ name),
  // where they are known.
  QJsonObject describe(const QString& path) const;
  // The device node of the adapter with that USB serial number, or an empty
  // text when no adapter present has it.
  QString pathOf(const QString& serialNumber) const;
  // The adapter behind `path` (a link resolved), or nothing.
  const Adapter* find(const QString& path) const;
  // Every device node, for the port map.
  QStringList paths() const;

 private:
  QList<Adapter> m_adapters;
};
