// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/program.h"

#include <QApplication>
#include <QFileDevice>

#include "gui/app_icon.h"
#include "gui/wiring.h"
#include "handlers/form.h"
#include "link/port_config.h"

void SetApplicationInfo() {
  QApplication::setApplicationName(QStringLiteral("timer-rs232"));
  QApplication::setApplicationVersion(QStringLiteral(TIMER_VERSION));
  QApplication::setWindowIcon(AppIcon());
  QGuiApplication::setDesktopFileName(QStringLiteral("io.github.timer_rs232.TimerRS232"));
}

Program::Program(const Options& options, QIODevice* trace)
    : m_port(PortsOverConfiguration(options.ports)), m_form(m_window, line(trace), m_clock) {
  // --port over the configuration file; without either, the system's ports.
  m_systemPorts = m_port.portMap().isEmpty();
  m_recordFile = options.recordFile.isEmpty() ? RecordFileSetting() : options.recordFile;
  ConnectHandlers(
      m_window, m_form, m_port.portMap(), m_adapters,
      {[this] { refreshPorts(); },
       [this](const char* exchange, const Outcome& outcome) { m_record.told(exchange, outcome); }});
}

SerialPort& Program::line(QIODevice* trace) {
  if (!trace) return m_port;
  m_tracer = std::make_unique<TracingPort>(m_port, [trace](const QString& text) {
    trace->write((text + QLatin1Char('\n')).toUtf8());
    // A technician reads it while the program runs, and after a crash.
    if (auto* file = qobject_cast<QFileDevice*>(trace)) file->flush();
  });
  return *m_tracer;
}

// Asked once a port is chosen; while Com numbers follow the system's ports,
// at each link too, through the port map.
void Program::refreshPorts() {
  if (m_systemPorts) {
    m_port.refresh();
  } else {
    m_adapters = Adapters::FromSystem();
  }
}

void Program::Start() {
  Form_Load(m_form);
  // What the window does not show at first is asked of the system after.
  m_window.whenFirstPainted([this] {
    if (m_systemPorts) {
      m_port.followPorts([this] {
        m_adapters = Adapters::FromSystem();
        return PortMap::FromDevices(m_adapters.paths());
      });
    } else {
      m_adapters = Adapters::FromSystem();
    }
    ShowChosenDevice(m_window, m_form, m_port.portMap(), m_adapters);
    // After the panel's first text, so that a record that cannot be opened is said there.
    m_record.open(m_recordFile);
  });
  m_window.show();
}
