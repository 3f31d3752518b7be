#include "app/program.h"

#include <QApplication>

#include "app/app_icon.h"
#include "handlers/form.h"
#include "app/wiring.h"

void SetApplicationInfo() {
  QApplication::setApplicationName(QStringLiteral("timer-rs232"));
  QApplication::setApplicationVersion(QStringLiteral(TIMER_VERSION));
  QApplication::setWindowIcon(AppIcon());
  QGuiApplication::setDesktopFileName(QStringLiteral("io.github.timer_rs232.TimerRS232"));
}

Program::Program(const Options& options)
    : m_port(options.ports.isEmpty() ? PortMap::FromSystem() : options.ports) {
  ConnectHandlers(m_window, m_form, m_port.portMap());
}

void Program::Start() {
  Form_Load(m_form);
  m_window.show();
}
