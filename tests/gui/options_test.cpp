// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <ostream>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "base/settings.h"
#include "gui/options.h"
#include "link/port_config.h"
#include "support/named_case.h"

namespace {

Options Parse(QStringList args) {
  args.prepend(QStringLiteral("timer-rs232"));
  return ParseOptions(args);
}

TEST(Options, PortOptionsMakeTheWholeMap) {
  const Options options =
      Parse({"--port", "1=/tmp/a", "--port=5=/dev/ttyUSB3", "--port", "3=tcp:10.0.0.5:4001"});
  ASSERT_FALSE(options.exit);
  EXPECT_EQ(options.ports.path(1), "/tmp/a");
  EXPECT_EQ(options.ports.path(5), "/dev/ttyUSB3");
  EXPECT_EQ(options.ports.path(3), "tcp:10.0.0.5:4001");
  EXPECT_TRUE(options.traceFile.isEmpty());
  EXPECT_EQ(Parse({"--trace", "/tmp/line.trace"}).traceFile, "/tmp/line.trace");
  EXPECT_EQ(options.ports.path(2), "");
}

TEST(Options, WithoutPortOptionsTheSystemDecides) {
  const Options options = Parse({});
  EXPECT_FALSE(options.exit);
  EXPECT_TRUE(options.ports.isEmpty());
}

struct BadCase {
  const char* name;
  QStringList args;
};

TIMER_NAMED_CASE(BadCase)

class BadOptions : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadOptions, EndWithCodeTwoAndAMessage) {
  const Options options = Parse(GetParam().args);
  EXPECT_TRUE(options.exit);
  EXPECT_EQ(options.exitCode, 2);
  EXPECT_FALSE(options.error.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Cases, BadOptions,
                         ::testing::Values(BadCase{"UnknownOption", {"--frobnicate"}},
                                           BadCase{"MissingValue", {"--port"}},
                                           BadCase{"NumberOutOfRange", {"--port", "17=/dev/x"}},
                                           BadCase{"NoPath", {"--port", "2="}},
                                           BadCase{"StrayArgument", {"COM1"}},
                                           BadCase{"NetworkWithoutPort", {"--port", "3=tcp:host"}}),
                         kCaseName);

TEST(Options, HelpAndVersionEndWithCodeZero) {
  for (const char* flag : {"--help", "--version"}) {
    const Options options = Parse({flag});
    EXPECT_TRUE(options.exit) << flag;
    EXPECT_EQ(options.exitCode, 0) << flag;
    EXPECT_FALSE(options.output.isEmpty()) << flag;
  }
}

}  // namespace

namespace {

// The port map of a desktop launch: the configuration file's [ports], each
// bad entry skipped with a line naming the file and the entry; --port over it.
TEST(PortConfig, UsableEntriesAreTakenAndTheOthersSaidAndSkipped) {
  QTemporaryDir home;
  ASSERT_TRUE(home.isValid());
  ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("timer-rs232")));
  const QString file = home.filePath(QStringLiteral("timer-rs232/timer-rs232.conf"));
  QFile conf(file);
  ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
  conf.write(
      "[ports]\n"
      "1=/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0\n"
      "3=tcp:10.0.0.5:4001\n"
      "17=/dev/ttyS0\n"
      "x=/dev/ttyS1\n"
      "4=\n"
      "5=tcp:no-port\n"
      "[tls]\n"
      "3/ca=/etc/plant-ca.pem\n"
      "3/pin=sha256:AB\n"
      "17/ca=/x.pem\n"
      "3/pem=/y.pem\n");
  conf.close();
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
  ASSERT_EQ(SettingsFilePath(), file);

  QStringList problems;
  const PortMap read = ReadPortConfig(file, &problems);

  EXPECT_EQ(read.path(1), "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
  EXPECT_EQ(read.path(3), "tcp:10.0.0.5:4001");
  EXPECT_EQ(read.trust(3), (TlsTrust{"/etc/plant-ca.pem", "sha256:AB", {}, {}}));
  EXPECT_EQ(problems.size(), 6) << problems.join('\n').toStdString();
  for (const char* entry : {"17=", "x=", "4=", "5=", "17/ca", "3/pem"}) {
    EXPECT_EQ(problems.filter(QString::fromLatin1(entry)).size(), 1) << entry;
  }
  for (const QString& problem : problems)
    EXPECT_TRUE(problem.startsWith(file)) << problem.toStdString();

  PortMap given;
  given.set(1, QStringLiteral("/dev/ttyUSB7"));
  given.trustFor(3, {"/given-ca.pem", {}, {}, {}});
  const PortMap merged = PortsOverConfiguration(given);
  EXPECT_EQ(merged.path(1), "/dev/ttyUSB7") << "--port first";
  EXPECT_EQ(merged.trust(3), (TlsTrust{"/given-ca.pem", {}, {}, {}})) << "--ca over the pin";
  EXPECT_EQ(merged.path(3), "tcp:10.0.0.5:4001");
  EXPECT_EQ(ReadPortConfig(home.filePath(QStringLiteral("none.conf")), &problems).isEmpty(), true);
  qunsetenv("XDG_CONFIG_HOME");
}

}  // namespace
