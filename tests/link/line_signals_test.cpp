// SPDX-License-Identifier: GPL-3.0-or-later
// The modem-control lines as the program leaves them, seen through a stand-in
// for the system's ioctl that gives the pseudo-terminal DTR and RTS.

#include <gtest/gtest.h>

#include <QTest>

#include <sys/ioctl.h>

#include "support/message_boxes.h"
#include "support/modem_lines.h"
#include "support/pty_device.h"
#include "support/window_rig.h"

namespace {

// The device was built for a host that never raised DTR or RTS; Linux raises
// both whenever a port is opened, so the program lowers them, at every opening.
TEST(LineSignals, DtrAndRtsAreLowAfterEveryOpening) {
  PtyDevice device([](const QByteArray& in) {
    return in.contains('Y') ? QByteArray("0000000000000000001Y") : QByteArray();
  });
  WindowRig rig(MapCom1To(device.path()));
  MessageBoxCloser boxes;

  for (int opening = 1; opening <= 2; ++opening) {
    TakeModemLineChanges();
    Click(rig.window, Ctl::Conectar);
    ASSERT_EQ(rig.window.statusText(), "Conectado");

    const std::vector<ModemLineChange> changes = TakeModemLineChanges();
    EXPECT_TRUE(LeftLow(changes, TIOCM_DTR)) << "opening " << opening;
    EXPECT_TRUE(LeftLow(changes, TIOCM_RTS)) << "opening " << opening;
    EXPECT_FALSE(Raised(changes, TIOCM_DTR | TIOCM_RTS)) << "opening " << opening;
    Click(rig.window, Ctl::Conectar);
  }
  EXPECT_TRUE(boxes.seen.isEmpty()) << boxes.seen.join('\n').toStdString();
}

}  // namespace
