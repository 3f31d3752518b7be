// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/report.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

// "mono 01:30:15, on 00:00:10, off 00:02:00, power-up off"
QString Summary(const TimerConfig& c) {
  return Tr(QT_TRANSLATE_NOOP("timer", "mono %1, on %2, off %3, power-up %4"))
      .arg(c.mono->text(), c.on->text(), c.off->text(), PowerUpShown(c));
}

// Words for scripts: their English, in every locale.
QJsonArray ForScripts(const QList<Text>& texts) {
  return QJsonArray::fromStringList(EnglishOf(texts));
}

QString InParentheses(const QString& text) {
  return QStringLiteral(" (") + text + QLatin1Char(')');
}

bool Found(const DeviceResult& r, const Command& command) {
  return command.readsBack && r.code() == kExitOk;
}

}  // namespace

QString ResultOf(const DeviceResult& r, const Command& command) {
  return command.found && r.code() == kExitOk ? QLatin1String(command.found)
                                              : ResultWord(r).english();
}

QString PeopleLine(const Target& target, const DeviceResult& r, const Command& command) {
  QString line = target.label + QStringLiteral(": ");
  if (command.found && r.code() == kExitOk)
    return line + Tr(QT_TRANSLATE_NOOP("timer", "timer (%1)")).arg(Summary(*r.configuration));
  line += ResultWord(r).translated();
  if (!r.reason.isEmpty()) line += InParentheses(r.reason.translated());
  if (!r.differences.isEmpty())
    line += InParentheses(TranslatedOf(r.differences).join(QStringLiteral("; ")));
  if (Found(r, command) && r.configuration) line += InParentheses(Summary(*r.configuration));
  return line;
}

QJsonObject IdentityOf(const Target& target, const Command& command, const Adapters& adapters) {
  if (command.readsBack) {
    const QJsonValue serial =
        adapters.describe(target.ports.path(target.number)).value(QLatin1String("serial_number"));
    if (serial.isString()) return {{QStringLiteral("serial_number"), serial}};
  }
  return target.identity;
}

QJsonObject JsonLine(const Target& target, const DeviceResult& r, const Command& command,
                     const Adapters& adapters) {
  QJsonObject object = IdentityOf(target, command, adapters);
  object.insert(QStringLiteral("port"), target.label);
  object.insert(QStringLiteral("result"), ResultOf(r, command));
  if (!r.reason.isEmpty()) object.insert(QStringLiteral("reason"), r.reason.english());
  if (command.plans) {
    object.insert(QStringLiteral("configuration"), ToJson(target.changes));
    object.insert(QStringLiteral("held"),
                  r.readBack ? QJsonValue(ToJson(*r.readBack)) : QJsonValue(QJsonValue::Null));
    object.insert(QStringLiteral("reached"), target.reached);
  } else if (r.configuration) {
    object.insert(QStringLiteral("configuration"), ToJson(*r.configuration));
  }
  if (!r.differences.isEmpty())
    object.insert(QStringLiteral("differences"), ForScripts(r.differences));
  // What an upload or an apply found and wrote, as the record says it.
  if (r.before && r.sent) {
    object.insert(QStringLiteral("before"), ToJson(*r.before));
    object.insert(QStringLiteral("sent"), ToJson(*r.sent));
  }
  if (!r.serverFingerprint.isEmpty())
    object.insert(QStringLiteral("server_fingerprint"), r.serverFingerprint);
  return object;
}

QString Compact(const QJsonObject& object) {
  return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

QStringList ConfigurationLines(const TimerConfig& c) {
  return {Tr(QT_TRANSLATE_NOOP("timer", "mono: %1")).arg(c.mono->text()),
          Tr(QT_TRANSLATE_NOOP("timer", "on  : %1")).arg(c.on->text()),
          Tr(QT_TRANSLATE_NOOP("timer", "off : %1")).arg(c.off->text()),
          Tr(QT_TRANSLATE_NOOP("timer", "power-up: %1")).arg(PowerUpShown(c))};
}

// That the device or the port failed (with why), or why else the run
// failed, then the differences a verification found.
QStringList FailureLines(const DeviceResult& r) {
  QStringList lines;
  const QString reason = r.reason.translated();
  switch (r.end) {
    case End::NoAnswer:
      // A line that flooded says so first.
      if (!reason.isEmpty()) lines << reason;
      lines << Tr(QT_TRANSLATE_NOOP("timer", "The device is not found"));
      break;
    case End::PortUnavailable:
    case End::PortClosed:
    case End::Unloaded:
      lines << Tr(QT_TRANSLATE_NOOP("timer", "The port is not available")) +
                   (reason.isEmpty() ? QString() : InParentheses(reason));
      break;
    case End::Answered:
    case End::Echo:
      if (!reason.isEmpty()) lines << reason;
      break;
  }
  return lines + TranslatedOf(r.differences);
}

QString Tally(const std::vector<DeviceResult>& results, const Command& command) {
  if (!command.tallyOne) return {};
  int unchanged = 0, changed = 0;
  for (const DeviceResult& r : results) {
    if (r.end != End::Answered) continue;
    if (r.verdict == Verdict::Unchanged) ++unchanged;
    if (r.verdict == Verdict::Programmed || r.verdict == Verdict::Differs) ++changed;
  }
  const auto all = static_cast<int>(results.size());
  // A whole sentence for one device and for several, so that each language
  // says its own.
  return Tr(all == 1 ? command.tallyOne : command.tallyMany)
      .arg(all)
      .arg(unchanged)
      .arg(changed)
      .arg(all - unchanged - changed);
}

RecordedExchange Recorded(const Command& command, const Target& target, const DeviceResult& r) {
  RecordedExchange e;
  e.operation = QLatin1String(command.name);
  e.path = target.ports.path(target.number);
  if (target.byCom) e.com = target.number;
  e.result = ResultOf(r, command);
  e.exitCode = r.code();
  e.before = r.before;
  e.sent = r.sent;
  e.readBack = r.readBack;
  e.reason = r.reason;
  e.differences = r.differences;
  e.serverFingerprint = r.serverFingerprint;
  return e;
}

DeviceDone RunRecord::done() {
  if (!m_record.isOpen()) return {};
  return [this](const Target& target, const DeviceResult& r) {
    QString error;
    if (!m_record.append(RecordEntry(Recorded(m_command, target, r), m_adapters), &error))
      failed(error);
  };
}

BeforeSending RunRecord::sending() {
  if (!m_record.isOpen()) return {};
  return [this](const Target& target, const DeviceResult& r) {
    RecordedExchange sending = Recorded(m_command, target, r);
    sending.result = QStringLiteral("sending");
    sending.exitCode.reset();
    const QJsonObject entry = RecordEntry(sending, m_adapters);
    QString error;
    if (m_record.append(entry, &error) && m_record.sync(&error)) return true;
    failed(error);
    return false;
  };
}

void RunRecord::sync() {
  QString error;
  if (m_record.isOpen() && !m_record.sync(&error)) failed(error);
}

void RunRecord::failed(const QString& error) {
  const std::lock_guard<std::mutex> lock(m_lock);
  if (m_error.isEmpty()) m_error = error;
}
