// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <ostream>

#include <QFile>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <chrono>

#include <unistd.h>

#include "link/port_holder.h"
#include "link/port_map.h"
#include "support/held_port.h"
#include "support/named_case.h"
#include "support/process.h"
#include "support/pty_device.h"

namespace {

TEST(PortOrder, SerialThenUsbThenAcmByNumberThenTheRestByName) {
  const QStringList system = {"/dev/ttyUSB10", "/dev/rfcomm0", "/dev/ttyACM0", "/dev/ttyS10",
                              "/dev/ttyUSB2",  "/dev/ttyS2",   "/dev/ttyAMA0", "/dev/ttyS0"};
  EXPECT_EQ(OrderPortNames(system),
            (QStringList{"/dev/ttyS0", "/dev/ttyS2", "/dev/ttyS10", "/dev/ttyUSB2", "/dev/ttyUSB10",
                         "/dev/ttyACM0", "/dev/rfcomm0", "/dev/ttyAMA0"}));
}

TEST(PortOrder, NumbersFromOneAndStopsAtSixteen) {
  QStringList system;
  for (int n = 19; n >= 0; --n) system << QStringLiteral("/dev/ttyUSB%1").arg(n);
  const PortMap map = PortMap::FromDevices(system);
  EXPECT_EQ(map.path(1), "/dev/ttyUSB0");
  EXPECT_EQ(map.path(16), "/dev/ttyUSB15");
  EXPECT_EQ(map.path(17), "");
  EXPECT_EQ(PortMap::FromDevices({}).path(1), "") << "no device behind Com1";
}

struct PortOptionCase {
  const char* value;
  bool ok;
  int number;
  const char* path;
};

TIMER_VALUE_CASE(PortOptionCase)

class PortOptionValue : public ::testing::TestWithParam<PortOptionCase> {};

TEST_P(PortOptionValue, IsReadOrRefusedWithAReason) {
  const PortOptionCase& c = GetParam();
  PortOption option;
  QString error;
  EXPECT_EQ(ParsePortOption(QString::fromUtf8(c.value), &option, &error), c.ok) << c.value;
  if (c.ok) {
    EXPECT_EQ(option.number, c.number);
    EXPECT_EQ(option.path, QString::fromUtf8(c.path));
  } else {
    EXPECT_FALSE(error.isEmpty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Values, PortOptionValue,
    ::testing::Values(
        PortOptionCase{"1=/dev/ttyUSB0", true, 1, "/dev/ttyUSB0"},
        PortOptionCase{"16=/dev/serial/by-id/usb-FTDI=x", true, 16, "/dev/serial/by-id/usb-FTDI=x"},
        PortOptionCase{"0=/dev/ttyS0", false, 0, ""}, PortOptionCase{"17=/dev/ttyS0", false, 0, ""},
        PortOptionCase{"x=/dev/ttyS0", false, 0, ""}, PortOptionCase{"=/dev/ttyS0", false, 0, ""},
        PortOptionCase{"3=", false, 0, ""}, PortOptionCase{"/dev/ttyS0", false, 0, ""},
        PortOptionCase{"3=tcp:10.0.0.5:4001", true, 3, "tcp:10.0.0.5:4001"},
        PortOptionCase{"3=tcp:[::1]:4001", true, 3, "tcp:[::1]:4001"},
        PortOptionCase{"3=tcp:10.0.0.5", false, 0, ""},
        PortOptionCase{"3=tcp:10.0.0.5:70000", false, 0, ""},
        PortOptionCase{"3=tcp::4001", false, 0, ""},
        PortOptionCase{"3=rfc2217://[::1]:4001", true, 3, "rfc2217://[::1]:4001"},
        PortOptionCase{"3=rfc2217://10.0.0.5", false, 0, ""},
        PortOptionCase{"3=rfc2217+tls://plant-gw:7001", true, 3, "rfc2217+tls://plant-gw:7001"},
        PortOptionCase{"3=tls:10.0.0.5:7002", true, 3, "tls:10.0.0.5:7002"},
        PortOptionCase{"3=tls:10.0.0.5", false, 0, ""}),
    kValueName);

struct HolderCase {
  const char* name;
  // The lock file's text: %1 stands for another process's pid, %2 for one
  // that has ended; nullptr: no lock file.
  const char* lock;
  bool held;     // that other process has the device open
  bool viaLink;  // the port is given by a link to it, as /dev/serial/by-id/ names are
};

TIMER_NAMED_CASE(HolderCase)

class Holder : public ::testing::TestWithParam<HolderCase> {};

// The holder is the other process its lock file names, else the one with the
// device open; this process, which holds the pseudo-terminal too, never is.
TEST_P(Holder, IsTheOtherProcessNamedByItsLockOrWithTheDeviceOpen) {
  const HolderCase& c = GetParam();
  const PtyDevice line([](const QByteArray&) { return QByteArray(); });
  QTemporaryDir dir;
  Process ended(QStringLiteral("/bin/true"), {});
  const qint64 endedPid = ended.pid();
  ended.wait(std::chrono::seconds(2));
  const HeldPort other(c.held ? line.path() : QStringLiteral("/dev/null"), false);
  if (c.lock) {
    QFile lock(dir.filePath(QStringLiteral("LCK..") + line.path().mid(5).replace('/', '_')));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write(QString::fromLatin1(c.lock)
                   .replace(QLatin1String("%1"), QString::number(other.pid()))
                   .replace(QLatin1String("%2"), QString::number(endedPid))
                   .toUtf8());
  }
  const QString port =
      c.viaLink ? dir.filePath(QStringLiteral("usb-FTDI-if00-port0")) : line.path();
  if (c.viaLink) {
    ASSERT_TRUE(QFile::link(line.path(), port));
  }

  EXPECT_EQ(PortHolder(port, {{dir.path()}, QStringLiteral("/proc")}), other.name());
}

INSTANTIATE_TEST_SUITE_P(Cases, Holder,
                         ::testing::Values(HolderCase{"DeviceOpenNoLock", nullptr, true, false},
                                           HolderCase{"LockWithThePid", "%1\n", false, false},
                                           HolderCase{"LockWithThePidNameAndUser",
                                                      "      %1 minicom root\n", false, false},
                                           // A lock left by a process that has ended names nobody.
                                           HolderCase{"StaleLock", "%2\n", true, false},
                                           HolderCase{"ByIdLinkNoLock", nullptr, true, true}),
                         kCaseName);

// The group a user must be in is the device's own, as Debian numbers them.
TEST(NodeGroup, IsTheGroupThatOwnsTheNode) {
  QTemporaryFile node;
  ASSERT_TRUE(node.open());
  for (const auto& [gid, name] : {std::pair<gid_t, const char*>{5, "tty"}, {20, "dialout"}}) {
    if (::chown(QFile::encodeName(node.fileName()).constData(), static_cast<uid_t>(-1), gid) != 0)
      GTEST_SKIP() << "only root may give a file to any group";
    EXPECT_EQ(NodeGroup(node.fileName()), name);
  }
}

}  // namespace
