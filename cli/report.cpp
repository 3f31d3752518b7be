// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/report.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

// "mono 01:30:15, on 00:00:10, off 00:02:00, power-up off"
QString Summary(const TimerConfig& c) {
  return Tr(QT_TRANSLATE_NOOP("timer", "mono %1, on %2, off %3, power-up %4"))
      .arg(c.mono->text(), c.on->text(), c.off->text(), PowerUpWord(*c.powerUpOn));
}

// Words for scripts: their English, in every locale.
QJsonArray ForScripts(const QList<Text>& texts) {
  return QJsonArray::fromStringList(EnglishOf(texts));
}

QString InParentheses(const QString& text) {
  return QStringLiteral(" (") + text + QLatin1Char(')');
}

}  // namespace

QString ResultOf(const DeviceResult& r, bool scan) {
  return scan && r.code() == kExitOk ? QStringLiteral("timer") : ResultWord(r).english();
}

QString PeopleLine(const Target& target, const DeviceResult& r, bool scan) {
  QString line = target.label + QStringLiteral(": ");
  if (scan && r.code() == kExitOk)
    return line + Tr(QT_TRANSLATE_NOOP("timer", "timer (%1)")).arg(Summary(*r.configuration));
  line += ResultWord(r).translated();
  if (!r.reason.isEmpty()) line += InParentheses(r.reason.translated());
  if (!r.differences.isEmpty())
    line += InParentheses(TranslatedOf(r.differences).join(QStringLiteral("; ")));
  if (r.code() == kExitOk && r.configuration) line += InParentheses(Summary(*r.configuration));
  return line;
}

QJsonObject JsonLine(const Target& target, const DeviceResult& r, bool scan) {
  QJsonObject object;
  object.insert(QStringLiteral("port"), target.label);
  object.insert(QStringLiteral("result"), ResultOf(r, scan));
  if (!r.reason.isEmpty()) object.insert(QStringLiteral("reason"), r.reason.english());
  if (r.configuration) object.insert(QStringLiteral("configuration"), ToJson(*r.configuration));
  if (!r.differences.isEmpty())
    object.insert(QStringLiteral("differences"), ForScripts(r.differences));
  return object;
}

QString Compact(const QJsonObject& object) {
  return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

QStringList ConfigurationLines(const TimerConfig& c) {
  return {Tr(QT_TRANSLATE_NOOP("timer", "mono: %1")).arg(c.mono->text()),
          Tr(QT_TRANSLATE_NOOP("timer", "on  : %1")).arg(c.on->text()),
          Tr(QT_TRANSLATE_NOOP("timer", "off : %1")).arg(c.off->text()),
          Tr(QT_TRANSLATE_NOOP("timer", "power-up: %1")).arg(PowerUpWord(*c.powerUpOn))};
}

// That the device or the port failed (with why), or why else the run
// failed, then the differences a verification found.
QStringList FailureLines(const DeviceResult& r) {
  QStringList lines;
  const QString reason = r.reason.translated();
  switch (r.end) {
    case End::NoAnswer:
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

QJsonObject RecordEntry(const QString& operation, const Target& target, const DeviceResult& r) {
  const QString path = target.ports.path(target.number);
  QJsonObject entry{{QStringLiteral("operation"), operation},
                    {QStringLiteral("path"), path},
                    {QStringLiteral("result"), ResultOf(r, operation == QLatin1String("scan"))},
                    {QStringLiteral("exit_code"), r.code()}};
  if (target.byCom) entry.insert(QStringLiteral("com"), target.number);
  const QJsonObject adapter = AdapterOf(path);
  if (!adapter.isEmpty()) entry.insert(QStringLiteral("adapter"), adapter);
  if (r.sent) entry.insert(QStringLiteral("sent"), ToJson(*r.sent));
  if (r.readBack) entry.insert(QStringLiteral("read_back"), ToJson(*r.readBack));
  if (!r.reason.isEmpty()) entry.insert(QStringLiteral("reason"), r.reason.english());
  if (!r.differences.isEmpty())
    entry.insert(QStringLiteral("differences"), ForScripts(r.differences));
  return entry;
}

DeviceDone RunRecord::done() {
  if (!m_record.isOpen()) return {};
  return [this](const Target& target, const DeviceResult& r) {
    QString error;
    if (m_record.append(RecordEntry(m_operation, target, r), &error)) return;
    const std::lock_guard<std::mutex> lock(m_lock);
    if (m_error.isEmpty()) m_error = error;
  };
}
