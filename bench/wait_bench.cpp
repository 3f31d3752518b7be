// SPDX-License-Identifier: GPL-3.0-or-later
// wait_bench: the link handshake (straight on the line and through ser2net)
// and a fruitless wait with the real window,
// QSerialPort and the event-loop clock against the built simulator, the CPU
// that waiting costs, and how fast and how large the program starts.
// Prints one "name: value" line per figure.

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <time.h>
#include <unistd.h>

#include "figures.h"
#include "gui/font_warmup.h"
#include "gui/options.h"
#include "gui/program.h"
#include "support/device_server.h"
#include "support/process.h"
#include "support/sim_process.h"
#include "support/window_rig.h"

namespace {

constexpr int kHandshakeRuns = 20;
constexpr int kFruitlessRuns = 5;
constexpr int kStartupRuns = 25;
constexpr std::chrono::seconds kStartupTimeout{30};

// 2400 baud, 8N1: a start bit, 8 data bits and a stop bit per character.
constexpr double kBaud = 2400;
constexpr double kBitsPerCharacter = 10;
constexpr int kProbeCharacters = 1;
constexpr int kReadBackCharacters = 20;

constexpr char kStartupChildFlag[] = "--startup-child";
constexpr char kBareChildFlag[] = "--bare-child";
constexpr char kLinkedStatus[] = "Conectado";
constexpr char kNoDeviceBox[] = "Conexion del TIMER | El dispositivo no se encuentra";
constexpr double kBytesPerMegabyte = 1024.0 * 1024.0;

Clock::duration CpuTime() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return std::chrono::seconds(ts.tv_sec) + std::chrono::nanoseconds(ts.tv_nsec);
}

// "VmRSS:   12345 kB" from /proc/self/status, in bytes.
double ResidentBytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::atof(line.c_str() + 6) * 1024.0;
  }
  return 0;
}

// Notes when a message box is shown and closes it at once, so that the time
// to the message is not blurred by a polling interval.
class MessageBoxWatch : public QObject {
 public:
  MessageBoxWatch() { qApp->installEventFilter(this); }
  ~MessageBoxWatch() override { qApp->removeEventFilter(this); }

  std::optional<Clock::time_point> shownAt;
  Clock::duration cpuAtShow{};
  QString seen;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* box = qobject_cast<QMessageBox*>(watched);
    if (box && event->type() == QEvent::Show && !shownAt) {
      shownAt = Clock::now();
      cpuAtShow = CpuTime();
      seen = box->windowTitle() + QStringLiteral(" | ") + box->text();
      QTimer::singleShot(0, box, [box] { box->button(QMessageBox::Ok)->click(); });
    }
    return false;
  }
};

// Click to "Conectado", then a disconnect, ready for the next run.
double OneHandshakeMs(WindowRig& rig) {
  const double ms =
      Timed([&] { QTest::mouseClick(rig.window.button(Ctl::Conectar), Qt::LeftButton); });
  if (rig.window.statusText() != QLatin1String(kLinkedStatus)) Fail("the handshake failed");
  QTest::mouseClick(rig.window.button(Ctl::Conectar), Qt::LeftButton);
  return ms;
}

struct Handshakes {
  double directMs = 0;
  double ser2netMs = 0;
};

// A simulated device straight on its line and another through ser2net (one
// line would have two programs opening it in turn), in alternating runs.
Handshakes HandshakesMs() {
  SimProcess sim({});
  SimProcess served({});
  if (sim.path().isEmpty() || served.path().isEmpty()) Fail("timer-sim did not start");
  DeviceServer server(served.path());
  if (server.address().isEmpty()) Fail("ser2net did not start: " + server.problem().toStdString());
  WindowRig direct(MapCom1To(sim.path()));
  WindowRig throughServer(MapCom1To(server.address()));
  std::vector<double> directRuns;
  std::vector<double> servedRuns;
  for (int i = 0; i < kHandshakeRuns; ++i) {
    directRuns.push_back(OneHandshakeMs(direct));
    servedRuns.push_back(OneHandshakeMs(throughServer));
  }
  return {Median(directRuns), Median(servedRuns)};
}

struct FruitlessWait {
  double medianMs = 0;
  double cpuPercent = 0;
};

FruitlessWait FruitlessWaits() {
  SimProcess sim({"--silent"});
  if (sim.path().isEmpty()) Fail("timer-sim did not start");
  WindowRig rig(MapCom1To(sim.path()));
  std::vector<double> runs;
  Clock::duration wall{};
  Clock::duration cpu{};
  for (int i = 0; i < kFruitlessRuns; ++i) {
    MessageBoxWatch watch;
    const auto cpuStart = CpuTime();
    const auto start = Clock::now();
    QTest::mouseClick(rig.window.button(Ctl::Conectar), Qt::LeftButton);
    if (!watch.shownAt || watch.seen != QString::fromUtf8(kNoDeviceBox))
      Fail("no \"" + std::string(kNoDeviceBox) + "\" message, saw: " + watch.seen.toStdString());
    runs.push_back(Millis(*watch.shownAt - start).count());
    wall += *watch.shownAt - start;
    cpu += watch.cpuAtShow - cpuStart;
  }
  return {Median(runs), 100.0 * Millis(cpu).count() / Millis(wall).count()};
}

// The child half of the start-up figure. The program has no hook that tells
// when its window is up, and none is added for the benchmark; so the child
// builds the program as gui/main.cpp does, and this prints when `window` was
// first exposed on the monotonic clock (shared by every process), the
// resident memory then, and the CPU time taken by then: unlike the time to
// the window, that does not grow with what else the machine is running.
int ReportExposed(QWidget& window) {
  if (!QTest::qWaitForWindowExposed(&window)) return 1;
  const auto exposed = Clock::now().time_since_epoch();
  std::printf("%lld %.0f %.3f\n", static_cast<long long>(std::chrono::nanoseconds(exposed).count()),
              ResidentBytes(), Millis(CpuTime()).count());
  return 0;
}

// As started from the desktop menu: no --port, the system's ports.
int RunStartupChild(int argc, char* argv[]) {
  const Options options;
  FontConfigWarmUp fonts;
  QApplication app(argc, argv);
  fonts.finish();
  SetApplicationInfo();
  Program program(options);
  program.Start();
  return ReportExposed(program.window());
}

// Qt's own floor: a bare window with one button.
int RunBareChild(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QPushButton button(QStringLiteral("Salir"));
  button.show();
  return ReportExposed(button);
}

struct Startup {
  double medianMs = 0;
  double rssMb = 0;
  double cpuMs = 0;
  double bareMs = 0;
  double bareRssMb = 0;
  double bareCpuMs = 0;
};

// The parent half: from just before starting the child to the moment it
// reports its window exposed; the program and the bare window in alternating
// runs, with a configuration folder of their own.
Startup Startups() {
  char selfPath[4096] = {};
  if (::readlink("/proc/self/exe", selfPath, sizeof selfPath - 1) <= 0) Fail("no /proc/self/exe");
  const std::string self = selfPath;
  QTemporaryDir config;
  const QStringList environment{"XDG_CONFIG_HOME=" + config.path()};
  std::vector<double> times, sizes, cpus, bareTimes, bareSizes, bareCpus;
  const auto run = [&](const char* flag, std::vector<double>& ms, std::vector<double>& mb,
                       std::vector<double>& cpuMs) {
    const auto start = Clock::now();
    Process child(QString::fromStdString(self), {QLatin1String(flag)}, environment);
    const std::optional<int> code = child.wait(kStartupTimeout);
    const std::string out = child.out().toStdString();
    long long exposedNs = 0;
    double rssBytes = 0;
    double cpu = 0;
    if (code != 0 || std::sscanf(out.c_str(), "%lld %lf %lf", &exposedNs, &rssBytes, &cpu) != 3)
      Fail("the start-up child failed: " + out + child.err().toStdString());
    const Clock::time_point exposed{std::chrono::nanoseconds(exposedNs)};
    ms.push_back(Millis(exposed - start).count());
    mb.push_back(rssBytes / kBytesPerMegabyte);
    cpuMs.push_back(cpu);
  };
  for (int i = 0; i < kStartupRuns; ++i) {
    run(kStartupChildFlag, times, sizes, cpus);
    run(kBareChildFlag, bareTimes, bareSizes, bareCpus);
  }
  return {Median(times),     Median(sizes),     Median(cpus),
          Median(bareTimes), Median(bareSizes), Median(bareCpus)};
}

}  // namespace

int main(int argc, char* argv[]) {
  // On the X server it is given (xvfb-run), else offscreen.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  if (argc > 1 && std::strcmp(argv[1], kStartupChildFlag) == 0) return RunStartupChild(argc, argv);
  if (argc > 1 && std::strcmp(argv[1], kBareChildFlag) == 0) return RunBareChild(argc, argv);

  constexpr double wireMs =
      (kProbeCharacters + kReadBackCharacters) * kBitsPerCharacter / kBaud * 1000.0;

  // Start-up first, so that the children do not compete with this process's windows.
  const Startup startup = Startups();

  QApplication app(argc, argv);
  const Handshakes handshakes = HandshakesMs();
  const FruitlessWait fruitless = FruitlessWaits();

  std::printf("handshake_ms: %.1f\n", handshakes.directMs);
  std::printf("handshake_ser2net_ms: %.1f\n", handshakes.ser2netMs);
  std::printf("wire_ms: %.1f\n", wireMs);
  std::printf("fruitless_wait_ms: %.1f\n", fruitless.medianMs);
  std::printf("wait_cpu_percent: %.1f\n", fruitless.cpuPercent);
  std::printf("startup_ms: %.1f\n", startup.medianMs);
  std::printf("startup_bare_ms: %.1f\n", startup.bareMs);
  std::printf("startup_ratio: %.2f\n", startup.medianMs / startup.bareMs);
  std::printf("startup_cpu_ms: %.1f\n", startup.cpuMs);
  std::printf("startup_bare_cpu_ms: %.1f\n", startup.bareCpuMs);
  std::printf("rss_mb: %.1f\n", startup.rssMb);
  std::printf("rss_bare_mb: %.1f\n", startup.bareRssMb);
  std::printf("rss_ratio: %.2f\n", startup.rssMb / startup.bareRssMb);
  std::printf(
      "# goals: handshake within wire+5 ms; fruitless 2000 ms ±10%%; cpu ≤10%%; startup_ratio "
      "≤1.25; rss_ratio ≤1.15; rss ≤45 MB\n");
  return 0;
}
