#include <QApplication>

#include <cstdio>

#include "app/app_icon.h"
#include "app/form.h"
#include "app/form1.h"
#include "app/main_window.h"
#include "app/options.h"
#include "app/wiring.h"
#include "link/event_loop_clock.h"
#include "link/qt_serial_port.h"

int main(int argc, char* argv[]) {
  Options options;
  {
    // Help and version need no display, so the options are read first.
    QCoreApplication reader(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("timer-rs232"));
    options = ParseOptions(QCoreApplication::arguments());
  }
  if (options.exit) {
    if (!options.output.isEmpty()) std::fputs(qPrintable(options.output), stdout);
    if (!options.error.isEmpty())
      std::fprintf(stderr, "timer-rs232: %s\n", qPrintable(options.error));
    return options.exitCode;
  }

#ifdef Q_OS_LINUX
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
      qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    std::fputs("timer-rs232: no display to show the window on (DISPLAY is not set)\n", stderr);
    return 1;
  }
#endif

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("timer-rs232"));
  QApplication::setApplicationVersion(QStringLiteral(TIMER_VERSION));
  QApplication::setWindowIcon(AppIcon());
  QGuiApplication::setDesktopFileName(QStringLiteral("io.github.timer_rs232.TimerRS232"));

  QtSerialPort port(options.portsGiven ? options.ports : PortMap::FromSystem());
  EventLoopClock clock;
  MainWindow window;
  Form1 form(window, port, clock);
  ConnectHandlers(window, form, port.portMap());

  Form_Load(form);
  window.show();
  return QApplication::exec();
}
