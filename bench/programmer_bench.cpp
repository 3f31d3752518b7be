// SPDX-License-Identifier: GPL-3.0-or-later
// programmer_bench: timerctl's work against the paced simulator. An upload
// from command to confirmation, the read-back that verifies it, the link's
// handshake directly (and the quiet it waits for before its probe) and through
// ser2net in raw and RFC 2217 modes, and a fleet:
// sixteen and sixty-four devices read, programmed and verified at once next
// to one device alone, in alternating runs. Then an apply over sixty-four of
// which sixty hold their entry, next to one device's apply; and timerctl as a
// process over many devices that answer at once: a plan of a thousand next to
// one, and a read of 256 with and without the record. Last, fleets of 256 and
// of a thousand devices paced as on a plant's lines, next to one. Prints one
// "name: value" line per figure.

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "cli/fleet.h"
#include "cli/programmer.h"
#include "device/protocol.h"
#include "device/read_back.h"
#include "device/session.h"
#include "device/wait.h"
#include "figures.h"
#include "link/serial_port.h"
#include "support/device_server.h"
#include "support/pty_devices.h"
#include "support/sim_process.h"
#include "support/test_certificates.h"

namespace {

constexpr int kUploadRuns = 10;
constexpr int kFleetRuns = 5;
constexpr int kFleetSize = 16;
constexpr int kLargeFleetSize = 64;
constexpr int kPacedFleet = 256, kPacedPlant = 1000;
// A plant's line: 2400 baud through a USB adapter that passes bytes on every 16 ms.
constexpr std::chrono::milliseconds kUsbLatency{16};

struct UploadFigures {
  double uploadMs = 0;
  double verifyMs = 0;
};

// The session as timerctl drives it: an upload, then the verifying probe on
// the open line.
UploadFigures Uploads(const QString& line) {
  PortMap map;
  map.set(1, line);
  const std::unique_ptr<DeviceLine> device = MakeDeviceLine(map, 1);
  DeviceSession session(*device);
  const Reply link = session.link();
  const std::optional<TimerConfig> readBack = ReadBackIn(link.bytes).config;
  if (!link.answered() || !readBack) Fail("the link brought no read-back");
  std::vector<double> uploads, verifies;
  for (int i = 0; i < kUploadRuns; ++i) {
    bool answered = false;
    uploads.push_back(Timed([&] { answered = session.upload(false, *readBack).answered(); }));
    if (!answered) Fail("the upload failed");
    verifies.push_back(Timed([&] { answered = session.probe().answered(); }));
    if (!answered) Fail("the read-back failed");
  }
  return {Median(uploads), Median(verifies)};
}

// One handshake (open, probe, read-back) on `line`, trusted as `trust` says.
double OneLinkMs(const QString& line, const TlsTrust& trust = {}) {
  PortMap map;
  map.set(1, line);
  map.trustFor(1, trust);
  bool answered = false;
  const double ms = Timed([&] {
    const std::unique_ptr<DeviceLine> device = MakeDeviceLine(map, 1);
    answered = DeviceSession(*device).link().answered();
  });
  if (!answered) Fail("the link failed on " + line.toStdString());
  return ms;
}

// The handshake alone on `line`, the median of runs.
double LinkMs(const QString& line) {
  std::vector<double> links;
  links.reserve(kUploadRuns);
  for (int i = 0; i < kUploadRuns; ++i) links.push_back(OneLinkMs(line));
  return Median(links);
}

// The same link through ser2net in RFC 2217 mode, in plain text and inside
// TLS, in alternating runs: the medians.
std::pair<double, double> PlainAndTlsLinkMs(const QString& plain, const QString& tls,
                                            const TlsTrust& trust) {
  std::vector<double> plains, tlss;
  for (int i = 0; i < kUploadRuns; ++i) {
    plains.push_back(OneLinkMs(plain));
    tlss.push_back(OneLinkMs(tls, trust));
  }
  return {Median(plains), Median(tlss)};
}

// What the link's wait for a quiet line costs on a line that is quiet: the
// part of link_direct_ms spent before the probe.
double QuietMs(const QString& line) {
  PortMap map;
  map.set(1, line);
  std::vector<double> quiets;
  for (int i = 0; i < kUploadRuns; ++i) {
    const std::unique_ptr<DeviceLine> device = MakeDeviceLine(map, 1);
    SerialPort& port = device->port();
    if (!port.setSettings(kLineSettings) || !port.open()) Fail("cannot open " + line.toStdString());
    quiets.push_back(Timed(
        [&] { AwaitQuiet(port, device->clock(), device->host(), kLineQuiet, kMostBeforeProbe); }));
  }
  return Median(quiets);
}

double FleetMs(const std::vector<Target>& targets, const Request& request) {
  std::vector<DeviceResult> results;
  const double ms = Timed([&] { results = RunOnDevices(targets, request, RealLine); });
  for (const DeviceResult& r : results) {
    if (r.code() != kExitOk)
      Fail("a device of the fleet failed: " + ResultWord(r).english().toStdString());
  }
  return ms;
}

// An apply of `targets`, the first `written` of which are given a monostable
// time no earlier apply gave them, so that each run writes them.
double ApplyMs(std::vector<Target> targets, int written) {
  static int applies = 0;
  const QString seconds = QString::number(10 + applies++);
  Request request;
  request.job = Job::Apply;
  for (int i = 0; i < written; ++i)
    targets[static_cast<std::size_t>(i)].changes.mono =
        Hms{QStringLiteral("00"), QStringLiteral("00"), seconds};
  std::vector<DeviceResult> results;
  const double ms = Timed([&] { results = RunOnDevices(targets, request, RealLine); });
  for (std::size_t i = 0; i < results.size(); ++i) {
    const Verdict wanted = static_cast<int>(i) < written ? Verdict::Programmed : Verdict::Unchanged;
    if (results[i].code() != kExitOk || results[i].verdict != wanted)
      Fail("an apply's device ended otherwise: " + ResultWord(results[i]).english().toStdString());
  }
  return ms;
}

struct ProcessFigures {
  double ms = 0;
  double rssMb = 0;
};

// The most memory process `pid` has held so far (the kernel's high-water
// mark of its own address space), in kB.
long HighWaterKb(qint64 pid) {
  QFile status(QStringLiteral("/proc/%1/status").arg(pid));
  if (!status.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
  }
  return 0;
}

// timerctl as a process, the median time of runs and the most memory it
// held, watched while it runs.
ProcessFigures TimerctlRun(const QStringList& args, int runs, int expected) {
  std::vector<double> times;
  long rssKb = 0;
  for (int i = 0; i < runs; ++i) {
    std::optional<int> code;
    std::unique_ptr<Process> child;
    times.push_back(Timed([&] {
      child = std::make_unique<Process>(QStringLiteral(TIMERCTL_PATH), args);
      while (child->running()) {
        rssKb = std::max(rssKb, HighWaterKb(child->pid()));
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
      }
      code = child->wait(std::chrono::seconds(60));
    }));
    if (code != expected)
      Fail("timerctl ended with " + std::to_string(code.value_or(-1)) + ": " +
           child->err().toStdString());
  }
  return {Median(times), static_cast<double>(rssKb) / 1024.0};
}

// An inventory of `paths`, each as it holds: all unchanged.
QString Inventory(const QTemporaryDir& dir, const QStringList& paths, const char* name) {
  QString file = dir.filePath(QLatin1String(name));
  QFile out(file);
  if (!out.open(QIODevice::WriteOnly)) Fail("cannot write " + file.toStdString());
  for (const QString& path : paths)
    out.write(QStringLiteral("{\"device\":\"%1\",\"mono\":\"00:00:00\"}\n").arg(path).toUtf8());
  return file;
}

// A fleet of one, of 256 and of a thousand devices paced as a plant's,
// each programmed and verified, in alternating runs: the medians.
std::vector<double> PacedFleetsMs(const Request& request) {
  timer_sim::Settings paced;
  paced.usbLatency = kUsbLatency;
  const PtyDevices devices(kPacedPlant, paced);
  if (devices.paths().size() != kPacedPlant) Fail("cannot open enough pseudo-terminals");
  std::vector<Target> plant;
  for (const QString& path : devices.paths()) {
    plant.push_back(DeviceTarget(path));
    plant.back().changes.mono =
        Hms{QStringLiteral("00"), QStringLiteral("20"), QStringLiteral("00")};
  }
  std::vector<std::vector<double>> runs(3);
  for (int i = 0; i < kFleetRuns; ++i) {
    int at = 0;
    for (const int size : {1, kPacedFleet, kPacedPlant})
      runs[static_cast<std::size_t>(at++)].push_back(
          FleetMs({plant.begin(), plant.begin() + size}, request));
  }
  return {Median(runs[0]), Median(runs[1]), Median(runs[2])};
}

QStringList DeviceArgs(const QStringList& paths) {
  QStringList args;
  for (const QString& path : paths) args << QStringLiteral("--device") << path;
  return args;
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  // As timerctl does: the devices and their far ends take thousands.
  RaiseDescriptorLimit();

  std::vector<std::unique_ptr<SimProcess>> sims;
  std::vector<Target> fleet;
  for (int i = 0; i < kLargeFleetSize; ++i) {
    sims.push_back(std::make_unique<SimProcess>(std::vector<std::string>{}));
    if (sims.back()->path().isEmpty()) Fail("timer-sim did not start");
    fleet.push_back(DeviceTarget(sims.back()->path()));
    fleet.back().changes.mono =
        Hms{QStringLiteral("01"), QStringLiteral("30"), QStringLiteral("15")};
  }
  const UploadFigures upload = Uploads(sims.front()->path());
  // One device directly, through ser2net in raw mode and in RFC 2217 mode;
  // the servers let go of their devices before the fleets run.
  double linkDirect = 0, linkQuiet = 0, linkRaw = 0, linkRfc2217 = 0;
  {
    const DeviceServer raw(sims[1]->path()),
        rfc2217(sims[2]->path(), DeviceServer::Kind::Ser2netRfc2217);
    if (raw.address().isEmpty() || rfc2217.address().isEmpty()) Fail("ser2net did not start");
    linkDirect = LinkMs(sims[3]->path());
    linkQuiet = QuietMs(sims[3]->path());
    linkRaw = LinkMs(raw.address());
    linkRfc2217 = LinkMs(rfc2217.address());
  }

  Request request;
  request.job = Job::Upload;
  const std::vector<Target> one(fleet.begin(), fleet.begin() + 1);
  const std::vector<Target> sixteen(fleet.begin(), fleet.begin() + kFleetSize);
  std::vector<double> ones, sixteens, sixtyFours;
  for (int i = 0; i < kFleetRuns; ++i) {
    ones.push_back(FleetMs(one, request));
    sixteens.push_back(FleetMs(sixteen, request));
    sixtyFours.push_back(FleetMs(fleet, request));
  }
  const double fleet1 = Median(ones);
  const double fleet16 = Median(sixteens);
  const double fleet64 = Median(sixtyFours);

  // Sixty of sixty-four hold what their entries give: they are read, not written.
  std::vector<double> applyOnes, applySixtyFours;
  for (int i = 0; i < kFleetRuns; ++i) {
    applyOnes.push_back(ApplyMs(one, 1));
    applySixtyFours.push_back(ApplyMs(fleet, 4));
  }
  const double apply1 = Median(applyOnes);
  const double apply64 = Median(applySixtyFours);

  // Behind TLS: one link beside the same through plain RFC 2217, and a
  // fleet of sixteen servers beside one.
  const TestCertificates certificates;
  if (!certificates.made()) Fail("openssl did not make the certificates");
  const TlsTrust trust{certificates.path("ca.pem"), {}, {}, {}};
  const DeviceServer::Tls served{
      certificates.path("server.pem"), certificates.path("server.key"), {}};
  std::vector<std::unique_ptr<DeviceServer>> tlsServers;
  std::vector<Target> tlsFleet;
  for (int i = 0; i < kFleetSize; ++i) {
    tlsServers.push_back(std::make_unique<DeviceServer>(
        sims[static_cast<std::size_t>(i)]->path(), DeviceServer::Kind::Ser2netRfc2217Tls, served));
    if (tlsServers.back()->address().isEmpty()) Fail("ser2net did not start with TLS");
    tlsFleet.push_back(DeviceTarget(tlsServers.back()->address(), trust));
    tlsFleet.back().changes.mono = fleet.front().changes.mono;
  }
  std::pair<double, double> linkPlainTls;
  {
    const DeviceServer plain(sims[kFleetSize]->path(), DeviceServer::Kind::Ser2netRfc2217);
    linkPlainTls = PlainAndTlsLinkMs(plain.address(), tlsServers.front()->address(), trust);
  }
  const std::vector<Target> oneTls(tlsFleet.begin(), tlsFleet.begin() + 1);
  std::vector<double> tlsOnes, tlsSixteens;
  for (int i = 0; i < kFleetRuns; ++i) {
    tlsOnes.push_back(FleetMs(oneTls, request));
    tlsSixteens.push_back(FleetMs(tlsFleet, request));
  }
  tlsServers.clear();
  sims.clear();

  constexpr int kPlanned = 1000, kRead = 256, kProcessRuns = 3;
  const PtyDevices instant(kPlanned);
  if (instant.paths().size() != kPlanned) Fail("cannot open enough pseudo-terminals");
  QTemporaryDir dir;
  const QString planOne = Inventory(dir, instant.paths().mid(0, 1), "one.jsonl");
  const QString planAll = Inventory(dir, instant.paths(), "all.jsonl");
  const ProcessFigures plan1 = TimerctlRun({"plan", planOne}, kProcessRuns, kExitOk);
  const ProcessFigures plan1000 = TimerctlRun({"plan", planAll}, kProcessRuns, kExitOk);
  const QStringList read =
      DeviceArgs(instant.paths().mid(0, kRead)) + QStringList{"read", "--json"};
  const QStringList logged = read + QStringList{"--log", dir.filePath("record.jsonl")};
  std::vector<double> reads, loggedReads;
  for (int i = 0; i < kProcessRuns; ++i) {
    reads.push_back(TimerctlRun(read, 1, kExitOk).ms);
    loggedReads.push_back(TimerctlRun(logged, 1, kExitOk).ms);
  }

  const std::vector<double> paced = PacedFleetsMs(request);

  std::printf("upload_ms: %.1f\n", upload.uploadMs);
  std::printf("verify_ms: %.1f\n", upload.verifyMs);
  std::printf("link_direct_ms: %.1f\n", linkDirect);
  std::printf("link_quiet_ms: %.1f\n", linkQuiet);
  std::printf("link_ser2net_raw_ms: %.1f\n", linkRaw);
  std::printf("link_ser2net_rfc2217_ms: %.1f\n", linkRfc2217);
  std::printf("link_rfc2217_plain_ms: %.1f\n", linkPlainTls.first);
  std::printf("link_rfc2217_tls_ms: %.1f\n", linkPlainTls.second);
  std::printf("link_tls_over_plain: %.2f\n", linkPlainTls.second / linkPlainTls.first);
  std::printf("fleet1_tls_ms: %.1f\n", Median(tlsOnes));
  std::printf("fleet16_tls_ms: %.1f\n", Median(tlsSixteens));
  std::printf("fleet16_tls_over_fleet1_tls: %.2f\n", Median(tlsSixteens) / Median(tlsOnes));
  std::printf("fleet1_ms: %.1f\n", fleet1);
  std::printf("fleet16_ms: %.1f\n", fleet16);
  std::printf("fleet64_ms: %.1f\n", fleet64);
  std::printf("fleet16_over_fleet1: %.2f\n", fleet16 / fleet1);
  std::printf("fleet64_over_fleet1: %.2f\n", fleet64 / fleet1);
  std::printf("apply1_ms: %.1f\n", apply1);
  std::printf("apply64_60_unchanged_ms: %.1f\n", apply64);
  std::printf("apply64_over_apply1: %.2f\n", apply64 / apply1);
  std::printf("plan1_ms: %.1f\n", plan1.ms);
  std::printf("plan1000_ms: %.1f\n", plan1000.ms);
  std::printf("plan1_rss_mb: %.1f\n", plan1.rssMb);
  std::printf("plan1000_rss_mb: %.1f\n", plan1000.rssMb);
  std::printf("read256_ms: %.1f\n", Median(reads));
  std::printf("read256_log_ms: %.1f\n", Median(loggedReads));
  std::printf("read256_log_over_read256: %.2f\n", Median(loggedReads) / Median(reads));
  std::printf("fleet1_paced_ms: %.1f\n", paced[0]);
  std::printf("fleet256_paced_ms: %.1f\n", paced[1]);
  std::printf("fleet1000_paced_ms: %.1f\n", paced[2]);
  std::printf("fleet256_over_fleet1_paced: %.2f\n", paced[1] / paced[0]);
  std::printf("fleet1000_over_fleet1_paced: %.2f\n", paced[2] / paced[0]);
  std::printf(
      "# goals: fleet256_over_fleet1_paced at most 1.5, fleet1000_over_fleet1_paced at most "
      "2.5; plan1000_ms at most 1000 and plan1000_rss_mb at most 64; fleet16_over_fleet1, "
      "fleet64_over_fleet1, apply64_over_apply1, "
      "fleet16_tls_over_fleet1_tls and read256_log_over_read256 at most 1.5; "
      "link_tls_over_plain at most 1.3\n");
  return 0;
}
