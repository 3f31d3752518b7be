// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/inventory.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMap>

#include "base/text.h"
#include "cli/config_file.h"
#include "link/adapters.h"
#include "link/port_map.h"

namespace {

constexpr char kKnownKeys[] =
    "device, com, serial_number, configuration, mono, on, off, power_up, mode";

// What timerctl writes of a device beside its name and configuration.
bool IsReportKey(const QString& key) {
  for (const char* report : {"port", "result", "reason", "differences"}) {
    if (key == QLatin1String(report)) return true;
  }
  return false;
}

// A device's name, checked: a path or an address, a Com number from 1 to
// 16, a serial number.
bool TakeIdentity(const QString& key, const QJsonValue& value, const QString& where,
                  InventoryEntry& entry, QString* error) {
  if (!entry.identity.isEmpty()) {
    *error = Tr(QT_TRANSLATE_NOOP("timer", "%1: names its device twice (\"%2\" and \"%3\")"))
                 .arg(where, entry.identity.begin().key(), key);
    return false;
  }
  const bool com = key == QLatin1String("com");
  const int number = value.toInt();
  const QString text = value.toString();
  if (com ? !value.isDouble() || value.toDouble() != number || number < 1 || number > kPortCount
          : text.isEmpty() || (IsNetworkPath(text) && !ParseNetworkPath(text))) {
    *error = com ? Tr(QT_TRANSLATE_NOOP("timer", "%1: \"com\" takes a number from 1 to %2"))
                       .arg(where)
                       .arg(kPortCount)
                 : Tr(QT_TRANSLATE_NOOP("timer", "%1: \"%2\" takes a text naming a device"))
                       .arg(where, key);
    return false;
  }
  entry.identity = {{key, value}};
  return true;
}

// A configuration under a key of its own: an object of a configuration's
// keys, or null where `orNull`.
std::optional<TimerConfig> Nested(const QJsonValue& value, const QString& at, bool orNull,
                                  QString* problem) {
  if (value.isObject())
    return TimerConfigOf(
        value.toObject(), at, [](const QString&, const QJsonValue&) { return false; },
        "mono, on, off, power_up, mode", problem);
  if (!(orNull && value.isNull()))
    *problem = Tr(QT_TRANSLATE_NOOP("timer", "%1: expected a JSON object")).arg(at);
  return std::nullopt;
}

// One line's object into an entry.
bool ReadEntry(const QJsonObject& object, const QString& where, InventoryEntry& entry,
               QString* error) {
  QString problem;
  std::optional<TimerConfig> nested;
  const auto other = [&](const QString& key, const QJsonValue& value) {
    if (!problem.isEmpty()) return true;  // said once, below
    if (IsDeviceKey(key)) {
      TakeIdentity(key, value, where, entry, &problem);
      return true;
    }
    if (IsReportKey(key)) return true;
    const QString at = QStringLiteral("%1: \"%2\"").arg(where, key);
    if (key == QLatin1String("held")) {
      entry.planned = true;
      entry.held = Nested(value, at, true, &problem);
      return true;
    }
    if (key != QLatin1String("configuration")) return false;
    nested = Nested(value, at, false, &problem);
    return true;
  };
  const std::optional<TimerConfig> flat = TimerConfigOf(object, where, other, kKnownKeys, error);
  if (!problem.isEmpty()) *error = problem;
  if (!flat || !problem.isEmpty()) return false;
  if (entry.identity.isEmpty()) {
    *error = Tr(QT_TRANSLATE_NOOP("timer",
                                  "%1: names no device (give device, com or "
                                  "serial_number)"))
                 .arg(where);
    return false;
  }
  if (nested && !(*flat == TimerConfig{})) {
    *error = Tr(QT_TRANSLATE_NOOP("timer",
                                  "%1: gives its configuration twice, under "
                                  "\"configuration\" and beside it"))
                 .arg(where);
    return false;
  }
  entry.configuration = nested.value_or(*flat);
  return true;
}

}  // namespace

std::optional<std::vector<InventoryEntry>> ParseInventory(const QByteArray& text,
                                                          const QString& source, QString* error) {
  std::vector<InventoryEntry> entries;
  const QList<QByteArray> lines = text.split('\n');
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const QByteArray line = lines[i].trimmed();
    if (line.isEmpty() || line.startsWith('#')) continue;
    const QString where = QStringLiteral("%1:%2").arg(source).arg(i + 1);
    QJsonParseError parse{};
    const QJsonDocument document = QJsonDocument::fromJson(line, &parse);
    if (parse.error != QJsonParseError::NoError || !document.isObject()) {
      *error = Tr(QT_TRANSLATE_NOOP("timer", "%1: not one JSON object: %2"))
                   .arg(where, parse.error != QJsonParseError::NoError
                                   ? parse.errorString()
                                   : Tr(QT_TRANSLATE_NOOP("timer", "another JSON value")));
      return std::nullopt;
    }
    InventoryEntry entry;
    entry.line = static_cast<int>(i + 1);
    if (!ReadEntry(document.object(), where, entry, error)) return std::nullopt;
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::optional<std::vector<Target>> InventoryTargets(const std::vector<InventoryEntry>& entries,
                                                    const PortMap& ports, const Adapters& adapters,
                                                    const QString& source, QString* error) {
  std::vector<Target> targets;
  QMap<QString, int> lineOf;  // by the device the entry reaches
  for (const InventoryEntry& entry : entries) {
    const QString where = QStringLiteral("%1:%2").arg(source).arg(entry.line);
    const QString key = entry.identity.begin().key();
    const QJsonValue name = entry.identity.begin().value();
    Target target;
    if (key == QLatin1String("com")) {
      target = ComTarget(ports, static_cast<qint16>(name.toInt()));
    } else if (key == QLatin1String("device")) {
      target = DeviceTarget(name.toString());
    } else {
      const QString path = adapters.pathOf(name.toString());
      if (path.isEmpty()) {
        *error = Tr(QT_TRANSLATE_NOOP("timer", "%1: no adapter has the serial number %2"))
                     .arg(where, name.toString());
        return std::nullopt;
      }
      target = DeviceTarget(path);
      target.label = name.toString() + QLatin1Char(' ') + path;
    }
    const QString path = target.ports.path(target.number);
    const QString device = QFileInfo(path).canonicalFilePath();
    const QString reached = device.isEmpty() ? path : device;
    if (!reached.isEmpty() && lineOf.contains(reached)) {
      *error = Tr(QT_TRANSLATE_NOOP("timer", "%1: names the same device as line %2"))
                   .arg(where)
                   .arg(lineOf.value(reached));
      return std::nullopt;
    }
    lineOf.insert(reached, entry.line);
    target.identity = entry.identity;
    target.changes = entry.configuration;
    target.planned = entry.planned;
    target.held = entry.held;
    targets.push_back(std::move(target));
  }
  return targets;
}
