// SPDX-License-Identifier: GPL-3.0-or-later
// A device that floods the line during each kind of wait: the outcome is
// what the whole reply would give, and memory does not grow with it.

#include <gtest/gtest.h>

#include <QFile>
#include <QTest>

#include "support/message_boxes.h"
#include "support/sim_process.h"
#include "support/window_rig.h"

namespace {

constexpr int kFloodBytes = 10'000'000;
#ifndef TIMER_SANITIZED
constexpr double kMaxGrowthMb = 5;
#endif

double ResidentMb() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith("VmRSS:"))
      return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
  }
  return 0;
}

TEST(Flood, EveryKindOfWaitGivesTheRightOutcomeInBoundedMemory) {
  SimProcess sim({"--instant", "--flood", std::to_string(kFloodBytes)});
  ASSERT_FALSE(sim.path().isEmpty());
  WindowRig rig(MapCom1To(sim.path()));
  MessageBoxCloser boxes;
  const double before = ResidentMb();

  // The probe: ten million filler characters, then the read-back. The fields
  // come from the start of the reply, the flag from its next-to-last character.
  Click(rig.window, Ctl::Conectar);
  ASSERT_EQ(rig.window.statusText(), "Conectado");
  EXPECT_EQ(rig.window.text(Ctl::horas_off), "xx");
  EXPECT_TRUE(rig.window.value(Ctl::Option3));
  const double afterLink = ResidentMb();

  for (Ctl field : {Ctl::horas, Ctl::minutos, Ctl::segundos, Ctl::horas_on, Ctl::minutos_on,
                    Ctl::segundos_on, Ctl::horas_off, Ctl::minutos_off, Ctl::segundos_off})
    rig.window.setText(field, QStringLiteral("00"));
  Click(rig.window, Ctl::enviar);
  EXPECT_EQ(boxes.seen, QStringList{Box(kUploadDone)});
  const double afterUpload = ResidentMb();

  Click(rig.window, Ctl::fire);
  EXPECT_EQ(boxes.seen.size(), 1) << "a successful activation shows nothing";
  EXPECT_EQ(rig.window.statusText(), "Conectado");
  const double afterFire = ResidentMb();

  std::printf("flooded 3 x %d bytes; resident MB: %.1f start, %.1f link, %.1f upload, %.1f fire\n",
              kFloodBytes, before, afterLink, afterUpload, afterFire);
#ifndef TIMER_SANITIZED
  // AddressSanitizer keeps freed memory in quarantine, so only a plain build
  // tells what the program holds.
  for (double mb : {afterLink, afterUpload, afterFire}) EXPECT_LT(mb - before, kMaxGrowthMb);
#endif
}

}  // namespace
