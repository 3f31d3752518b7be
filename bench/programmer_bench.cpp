// SPDX-License-Identifier: GPL-3.0-or-later
// programmer_bench: timerctl's work against the paced simulator. An upload
// from command to confirmation, the read-back that verifies it, the link's
// handshake directly (and the quiet it waits for before its probe) and through
// ser2net in raw and RFC 2217 modes, and a fleet:
// sixteen and sixty-four devices read, programmed and verified at once next
// to one device alone, in alternating runs. Prints one "name: value" line per figure.

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "cli/programmer.h"
#include "device/protocol.h"
#include "device/read_back.h"
#include "device/session.h"
#include "device/wait.h"
#include "figures.h"
#include "link/serial_port.h"
#include "support/device_server.h"
#include "support/sim_process.h"

namespace {

constexpr int kUploadRuns = 10;
constexpr int kFleetRuns = 5;
constexpr int kFleetSize = 16;
constexpr int kLargeFleetSize = 64;

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

// The handshake alone (open, probe, read-back) on `line`, the median of runs.
double LinkMs(const QString& line) {
  PortMap map;
  map.set(1, line);
  std::vector<double> links;
  for (int i = 0; i < kUploadRuns; ++i) {
    bool answered = false;
    links.push_back(Timed([&] {
      const std::unique_ptr<DeviceLine> device = MakeDeviceLine(map, 1);
      answered = DeviceSession(*device).link().answered();
    }));
    if (!answered) Fail("the link failed on " + line.toStdString());
  }
  return Median(links);
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

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);

  std::vector<std::unique_ptr<SimProcess>> sims;
  std::vector<Target> fleet;
  for (int i = 0; i < kLargeFleetSize; ++i) {
    sims.push_back(std::make_unique<SimProcess>(std::vector<std::string>{}));
    if (sims.back()->path().isEmpty()) Fail("timer-sim did not start");
    fleet.push_back(DeviceTarget(sims.back()->path()));
    fleet.back().changes.mono = Hms{QStringLiteral("01"), QStringLiteral("30"), QStringLiteral("15")};
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

  std::printf("upload_ms: %.1f\n", upload.uploadMs);
  std::printf("verify_ms: %.1f\n", upload.verifyMs);
  std::printf("link_direct_ms: %.1f\n", linkDirect);
  std::printf("link_quiet_ms: %.1f\n", linkQuiet);
  std::printf("link_ser2net_raw_ms: %.1f\n", linkRaw);
  std::printf("link_ser2net_rfc2217_ms: %.1f\n", linkRfc2217);
  std::printf("fleet1_ms: %.1f\n", fleet1);
  std::printf("fleet16_ms: %.1f\n", fleet16);
  std::printf("fleet64_ms: %.1f\n", fleet64);
  std::printf("fleet16_over_fleet1: %.2f\n", fleet16 / fleet1);
  std::printf("fleet64_over_fleet1: %.2f\n", fleet64 / fleet1);
  std::printf("# goal: fleet16_over_fleet1 and fleet64_over_fleet1 at most 1.5\n");
  return 0;
}
