// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/inventory.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QMap>
#include <QSet>

#include <algorithm>

#include "base/text.h"
#include "cli/config_file.h"
#include "link/adapters.h"
#include "link/port_map.h"

namespace {

// An editor's byte order mark is no part of the first line.
constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
// A kept plan's last line: {"end_of_plan":{"devices":N}}.
constexpr char kEndOfPlan[] = "end_of_plan";

constexpr char kKnownKeys[] =
    "device, com, serial_number, configuration, mono, on, off, power_up, mode, tls";

// What timerctl writes of a device beside its name and configuration.
bool IsReportKey(const QString& key) {
  for (const char* report :
       {"port", "result", "reason", "differences", "server_fingerprint", "before", "sent"}) {
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
  // The system would take the path cut at the NUL: another device.
  if (text.contains(QChar::Null)) {
    *error = Tr(QT_TRANSLATE_NOOP("timer", "%1: \"%2\" holds a NUL character")).arg(where, key);
    return false;
  }
  entry.identity = {{key, value}};
  return true;
}

// A configuration under a key of its own.
std::optional<TimerConfig> Nested(const QJsonValue& value, const QString& at, QString* problem) {
  if (value.isObject())
    return TimerConfigOf(
        value.toObject(), at, [](const QString&, const QJsonValue&) { return false; },
        "mono, on, off, power_up, mode", problem);
  *problem = Tr(QT_TRANSLATE_NOOP("timer", "%1: expected a JSON object")).arg(at);
  return std::nullopt;
}

// One value of what a plan saw, as written: "HH:MM:SS" of any two
// characters each, and the power-up flag as a word or as the one character
// it was.
bool TakeHeld(const QString& key, const QString& text, TimerConfig& held) {
  for (const DeviceTime& t : kDeviceTimes) {
    if (key != QLatin1String(t.name)) continue;
    if (text.size() != 8 || text[2] != QLatin1Char(':') || text[5] != QLatin1Char(':'))
      return false;
    held.*t.time = Hms{text.mid(0, 2), text.mid(3, 2), text.mid(6, 2)};
    return true;
  }
  if (key != QLatin1String("power_up")) return false;
  if (text == QLatin1String("on") || text == QLatin1String("off")) {
    held.powerUpOn = text == QLatin1String("on");
  } else if (text.size() == 1) {
    held.powerUpOn = false;
    held.otherFlag = text[0];
  } else {
    return false;
  }
  return true;
}

// What a plan saw a device hold, damaged memory included: compared, never
// sent. Null: the plan could not read it.
std::optional<TimerConfig> Held(const QJsonValue& value, const QString& at, QString* problem) {
  if (value.isNull()) return std::nullopt;
  TimerConfig held;
  const QJsonObject object = value.toObject();
  for (auto it = object.begin(); value.isObject() && it != object.end(); ++it) {
    if (!TakeHeld(it.key(), it.value().toString(), held)) {
      *problem = Tr(QT_TRANSLATE_NOOP("timer", "%1: \"%2\" is not what a device reads back"))
                     .arg(at, it.key());
      return std::nullopt;
    }
  }
  if (!value.isObject())
    *problem = Tr(QT_TRANSLATE_NOOP("timer", "%1: expected a JSON object")).arg(at);
  return held;
}

// Which device the name reached when the plan was made.
bool TakeReached(const QJsonValue& value, const QString& at, InventoryEntry& entry,
                 QString* problem) {
  const QJsonObject reached = value.toObject();
  const bool known =
      std::all_of(reached.begin(), reached.end(), [](const QJsonValue& v) { return v.isString(); });
  if (!value.isObject() || !reached.value(QLatin1String("path")).isString() || !known) {
    *problem =
        Tr(QT_TRANSLATE_NOOP("timer", "%1: expected {\"path\": ..., \"serial_number\": ...}"))
            .arg(at);
    return false;
  }
  entry.reached = reached;
  return true;
}

// Whom the entry's device server behind TLS is trusted as:
// {"ca": FILE} or {"pin": SHA256}, and "cert" and "key" for a server that
// asks for a client certificate.
bool TakeTrust(const QJsonValue& value, const QString& at, InventoryEntry& entry,
               QString* problem) {
  const QJsonObject trust = value.toObject();
  const std::pair<const char*, QString*> parts[] = {{"ca", &entry.trust.caFile},
                                                    {"pin", &entry.trust.pin},
                                                    {"cert", &entry.trust.certFile},
                                                    {"key", &entry.trust.keyFile}};
  for (auto it = trust.begin(); it != trust.end(); ++it) {
    const auto* part = std::find_if(std::begin(parts), std::end(parts), [&](const auto& p) {
      return it.key() == QLatin1String(p.first);
    });
    if (part == std::end(parts) || !it.value().isString() || it.value().toString().isEmpty()) {
      *problem = Tr(QT_TRANSLATE_NOOP("timer",
                                      "%1: expected texts under \"ca\", \"pin\", \"cert\" "
                                      "and \"key\""))
                     .arg(at);
      return false;
    }
    *part->second = it.value().toString();
  }
  if (!value.isObject())
    *problem = Tr(QT_TRANSLATE_NOOP("timer", "%1: expected a JSON object")).arg(at);
  return value.isObject();
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
      entry.held = Held(value, at, &problem);
      return true;
    }
    if (key == QLatin1String("tls")) {
      TakeTrust(value, at, entry, &problem);
      return true;
    }
    if (key == QLatin1String("reached")) {
      TakeReached(value, at, entry, &problem);
      return true;
    }
    if (key != QLatin1String("configuration")) return false;
    nested = Nested(value, at, &problem);
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

// The first key given twice in one object of `json`, which must be valid:
// a parser would silently keep its last value.
QString RepeatedKey(const QByteArray& json) {
  std::vector<QSet<QString>> objects;
  for (qsizetype i = 0; i < json.size(); ++i) {
    if (json[i] == '{') objects.emplace_back();
    if (json[i] == '}') objects.pop_back();
    if (json[i] != '"') continue;
    const qsizetype start = i;
    for (++i; json[i] != '"'; ++i) {
      if (json[i] == '\\') ++i;
    }
    // In valid JSON, a string followed by a colon is a key.
    qsizetype next = i + 1;
    while (next < json.size() && QChar::isSpace(static_cast<uchar>(json[next]))) ++next;
    if (next == json.size() || json[next] != ':') continue;
    QString key = QJsonDocument::fromJson('[' + json.mid(start, i + 1 - start) + ']')
                      .array()
                      .first()
                      .toString();
    if (objects.back().contains(key)) return key;
    objects.back().insert(key);
  }
  return {};
}

// One line's JSON object, each key once.
bool ObjectOf(const QByteArray& line, const QString& where, QJsonObject& object, QString* error) {
  QJsonParseError parse{};
  const QJsonDocument document = QJsonDocument::fromJson(line, &parse);
  if (parse.error != QJsonParseError::NoError || !document.isObject()) {
    *error = Tr(QT_TRANSLATE_NOOP("timer", "%1: not one JSON object: %2"))
                 .arg(where, parse.error != QJsonParseError::NoError
                                 ? parse.errorString()
                                 : Tr(QT_TRANSLATE_NOOP("timer", "another JSON value")));
    return false;
  }
  const QString repeated = RepeatedKey(line);
  if (!repeated.isEmpty()) {
    *error = Tr(QT_TRANSLATE_NOOP("timer", "%1: \"%2\" is given twice")).arg(where, repeated);
    return false;
  }
  object = document.object();
  return true;
}

// How many devices a plan's last line counts.
std::optional<int> PlanCount(const QJsonObject& object, const QString& where, QString* error) {
  const QJsonObject end = object.value(QLatin1String(kEndOfPlan)).toObject();
  const QJsonValue devices = end.value(QLatin1String("devices"));
  if (object.size() == 1 && end.size() == 1 && devices.isDouble() && devices.toInt() >= 0 &&
      devices.toDouble() == devices.toInt())
    return devices.toInt();
  *error = Tr(QT_TRANSLATE_NOOP("timer", "%1: expected {\"%2\":{\"devices\":N}}"))
               .arg(where, QLatin1String(kEndOfPlan));
  return std::nullopt;
}

// A kept plan's line says what the device held and which device it was: a
// line without them would write without the plan's guard.
bool WholePlanLine(bool keptPlan, const InventoryEntry& entry, const QString& where,
                   QString* error) {
  if (!keptPlan || (entry.planned && !entry.reached.isEmpty())) return true;
  *error = Tr(QT_TRANSLATE_NOOP("timer",
                                "%1: not a kept plan's line: \"%2\" is missing (keep the plan "
                                "with plan --out)"))
               .arg(where, QLatin1String(entry.planned ? "reached" : "held"));
  return false;
}

}  // namespace

QJsonObject EndOfPlan(int devices) {
  return {{QLatin1String(kEndOfPlan), QJsonObject{{QStringLiteral("devices"), devices}}}};
}

QJsonObject Reached(const Target& target, const Adapters& adapters) {
  const QString path = ReachedPath(target);
  QJsonObject reached{{QStringLiteral("path"), path}};
  const QJsonValue serial = adapters.describe(path).value(QLatin1String("serial_number"));
  if (serial.isString()) reached.insert(QStringLiteral("serial_number"), serial);
  return reached;
}

std::optional<std::vector<InventoryEntry>> ParseInventory(const QByteArray& text,
                                                          const QString& source, bool keptPlan,
                                                          QString* error) {
  std::vector<InventoryEntry> entries;
  std::optional<int> counted;  // by the end of a plan
  QString end = source;        // where it ends
  const QList<QByteArray> lines =
      (text.startsWith(kByteOrderMark) ? text.mid(sizeof kByteOrderMark - 1) : text).split('\n');
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const QByteArray line = lines[i].trimmed();
    if (line.isEmpty() || line.startsWith('#')) continue;
    const QString where = QStringLiteral("%1:%2").arg(source).arg(i + 1);
    QJsonObject object;
    if (!ObjectOf(line, where, object, error)) return std::nullopt;
    if (counted) {
      *error = Tr(QT_TRANSLATE_NOOP("timer", "%1: a line after the end of the plan")).arg(where);
      return std::nullopt;
    }
    if (object.contains(QLatin1String(kEndOfPlan))) {
      counted = PlanCount(object, where, error);
      end = where;
      if (!counted) return std::nullopt;
      continue;
    }
    InventoryEntry entry;
    entry.line = static_cast<int>(i + 1);
    if (!ReadEntry(object, where, entry, error) || !WholePlanLine(keptPlan, entry, where, error))
      return std::nullopt;
    entries.push_back(std::move(entry));
  }
  if (keptPlan && !counted) {
    *error = Tr(QT_TRANSLATE_NOOP("timer",
                                  "%1: ends without the plan's last line: it was cut short, or "
                                  "is no plan kept with plan --out"))
                 .arg(source);
    return std::nullopt;
  }
  if (counted && *counted != static_cast<int>(entries.size())) {
    *error = Tr(QT_TRANSLATE_NOOP("timer", "%1: the plan counts %2 devices, but %3 are here"))
                 .arg(end)
                 .arg(*counted)
                 .arg(entries.size());
    return std::nullopt;
  }
  return entries;
}

std::optional<std::vector<Target>> InventoryTargets(const std::vector<InventoryEntry>& entries,
                                                    const PortMap& ports, const TlsTrust& trust,
                                                    const Adapters& adapters, const QString& source,
                                                    QString* error) {
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
      target = DeviceTarget(name.toString(), trust);
    } else {
      const QString path = adapters.pathOf(name.toString());
      if (path.isEmpty()) {
        *error = Tr(QT_TRANSLATE_NOOP("timer", "%1: no adapter has the serial number %2"))
                     .arg(where, name.toString());
        return std::nullopt;
      }
      target = DeviceTarget(path, trust);
      target.label = name.toString() + QLatin1Char(' ') + path;
    }
    const QString reached = ReachedPath(target);
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
    target.reachedAtPlan = entry.reached;
    target.ports.trustFor(target.number, entry.trust);
    target.reached = Reached(target, adapters);
    targets.push_back(std::move(target));
  }
  return targets;
}
