#include "app/program.h"

#include <QApplication>

#include "app/app_icon.h"
#include "app/port_config.h"
#include "app/wiring.h"
#include "handlers/form.h"

void SetApplicationInfo() {
  QApplication::setApplicationName(QStringLiteral("timer-rs232"));
  QApplication::setApplicationVersion(QStringLiteral(TIMER_VERSION));
  QApplication::setWindowIcon(AppIcon());
  QGuiApplication::setDesktopFileName(QStringLiteral("io.github.timer_rs232.TimerRS232"));
}

namespace {

// --port over the configuration file; without either, the system's ports.
PortMap PortsOf(const Options& options) {
  const PortMap ports = PortsOverConfiguration(options.ports);
  return ports.isEmpty() ? PortMap::FromSystem() : ports;
}

}  // namespace

Program::Program(const Options& options) : m_port(PortsOf(options)) {
  ConnectHandlers(m_window, m_form, m_port.portMap());
}

void Program::Start() {
  Form_Load(m_form);
  m_window.show();
}
