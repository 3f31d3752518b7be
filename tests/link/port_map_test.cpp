// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <ostream>

#include "link/port_holder.h"
#include "link/port_map.h"
#include "support/held_port.h"
#include "support/named_case.h"
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
        PortOptionCase{"3=rfc2217://10.0.0.5", false, 0, ""}),
    kValueName);

// Without a lock file, the holder is found by its open descriptor; this
// process, which holds the pseudo-terminal too, never is.
TEST(PortHolder, IsTheOtherProcessWithTheDeviceOpen) {
  const PtyDevice line([](const QByteArray&) { return QByteArray(); });
  EXPECT_EQ(PortHolder(line.path()), QString());
  const HeldPort held(line.path(), false);
  EXPECT_EQ(PortHolder(line.path(), {{}, QStringLiteral("/proc")}), held.name());
}

}  // namespace
