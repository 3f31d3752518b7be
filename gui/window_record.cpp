// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/window_record.h"

#include <QLoggingCategory>

#include <cstring>

#include "gui/main_window.h"
#include "handlers/outcome.h"
#include "link/adapters.h"
#include "link/port_map.h"
#include "link/serial_port.h"
#include "model/form1.h"
#include "model/time_fields.h"

namespace {

Q_LOGGING_CATEGORY(lcRecord, "timer.record")

}  // namespace

WindowRecord::WindowRecord(MainWindow& window, const Form1& f, const PortMap& ports,
                           const Adapters& adapters)
    : m_window(window),
      m_form(f),
      m_ports(ports),
      m_adapters(adapters),
      m_record(QStringLiteral("timer-rs232"), QStringLiteral(TIMER_VERSION)) {}

void WindowRecord::open(const QString& path) {
  QString error;
  if (!path.isEmpty() && !m_record.open(path, &error)) failed(error);
}

void WindowRecord::told(const char* exchange, const Outcome& outcome) {
  const bool link = std::strcmp(exchange, "link") == 0;
  // A click on Desconectar unlinks: nothing done to the device.
  const bool done = outcome.skipped == Skipped::No && outcome.reply.answered();
  if (!m_record.isOpen() || (link && done && m_form.Conecta != 0)) return;
  RecordedExchange entry;
  entry.operation = QLatin1String(exchange);
  entry.com = m_form.puert;
  entry.path = m_ports.path(m_form.puert);
  entry.result = OutcomeWord(outcome);
  entry.reason = outcome.reply.reason;
  entry.serverFingerprint = m_form.Conexion.serverFingerprint();
  TimerConfig shown = ShownConfiguration(m_window);
  if (link && done) entry.readBack = shown;
  if (std::strcmp(exchange, "upload") == 0 && outcome.skipped != Skipped::Refused) {
    shown.bistable = !m_window.value(Ctl::Option1);
    entry.sent = shown;
  }
  QString error;
  if (!m_record.append(RecordEntry(entry, m_adapters), &error) || !m_record.sync(&error))
    failed(error);
}

void WindowRecord::failed(const QString& error) {
  qCWarning(lcRecord, "the record %s", qUtf8Printable(error));
  m_window.setDeviceText(QStringLiteral("no se puede escribir el registro: ") + error);
}
