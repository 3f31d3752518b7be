// timerctl, the scripting front end, against the built simulator.

#include <gtest/gtest.h>

#include <ostream>

#include <QJsonDocument>
#include <QJsonObject>
#include <QSerialPort>

#include <chrono>
#include <thread>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "e2e/ser2net_process.h"
#include "e2e/sim_process.h"
#include "support/qt_printers.h"

namespace {

using namespace std::chrono_literals;

struct Outcome {
  int code = -1;
  QString out;
  QString err;
};

Outcome RunTimerctl(const QStringList& args, const std::vector<std::string>& environment = {}) {
  std::vector<std::string> words;
  for (const QString& arg : args) words.push_back(arg.toStdString());
  ChildProcess process(TIMERCTL_PATH, words, environment);
  const std::optional<int> code = process.wait(15s);
  return {code.value_or(-1), QString::fromStdString(process.out()),
          QString::fromStdString(process.err())};
}

Outcome Timerctl(const QString& device, const QStringList& args) {
  return RunTimerctl(QStringList{QStringLiteral("--device"), device} + args);
}

// Whether the simulator logged a line starting with `prefix` (its log trails a little).
bool Logged(const SimProcess& sim, const QString& prefix) {
  for (int i = 0; i < 100; ++i) {
    for (const QString& line : sim.events())
      if (line.startsWith(prefix)) return true;
    std::this_thread::sleep_for(10ms);
  }
  return false;
}

QJsonObject ReadJson(const QString& device) {
  const Outcome run = Timerctl(device, {"read", "--json"});
  EXPECT_EQ(run.code, 0) << run.err.toStdString();
  QJsonParseError error{};
  const QJsonDocument doc = QJsonDocument::fromJson(run.out.toUtf8(), &error);
  EXPECT_EQ(error.error, QJsonParseError::NoError) << run.out.toStdString();
  return doc.object();
}

TEST(Timerctl, ReadsTheConfigurationAsTextAndAsJson) {
  SimProcess sim({"--mono", "01:30:15", "--on", "00:00:10", "--off", "00:02:00", "--power-up",
                  "off", "--split", "3"});
  const Outcome text = Timerctl(sim.path(), {"read"});
  EXPECT_EQ(text.code, 0);
  EXPECT_EQ(text.out, "mono: 01:30:15\non  : 00:00:10\noff : 00:02:00\npower-up: off\n");

  const QJsonObject json = ReadJson(sim.path());
  EXPECT_EQ(json.value("mono").toString(), "01:30:15");
  EXPECT_EQ(json.value("on").toString(), "00:00:10");
  EXPECT_EQ(json.value("off").toString(), "00:02:00");
  EXPECT_EQ(json.value("power_up").toString(), "off");
  EXPECT_TRUE(json.value("well_formed").toBool());
}

TEST(Timerctl, AnUploadIsReadBackAsUploaded) {
  SimProcess sim({"--instant"});
  const Outcome upload = Timerctl(sim.path(), {"upload", "--mode", "bi", "--on", "00:00:10",
                                               "--off", "12:02:00", "--power-up", "off"});
  EXPECT_EQ(upload.code, 0) << upload.err.toStdString();
  EXPECT_TRUE(Logged(sim, "rx S0000001000000002120 ")) << "seconds first";

  const QJsonObject json = ReadJson(sim.path());
  EXPECT_EQ(json.value("mono").toString(), "00:00:00") << "what is not given stays";
  EXPECT_EQ(json.value("on").toString(), "00:00:10");
  EXPECT_EQ(json.value("off").toString(), "12:02:00");
  EXPECT_EQ(json.value("power_up").toString(), "off");
}

TEST(Timerctl, FiresTheTimer) {
  SimProcess sim({"--instant", "--mono", "00:00:01"});
  const Outcome fire = Timerctl(sim.path(), {"fire"});
  EXPECT_EQ(fire.code, 0) << fire.err.toStdString();
  EXPECT_TRUE(sim.waitForEvent("output ON", 3000ms));
}

struct FailureCase {
  const char* name;
  std::vector<std::string> simArgs;
  QStringList args;
  int code;
  const char* message;  // on stderr
};

// Cases print as their names in the test log.
void PrintTo(const FailureCase& c, std::ostream* os) {
  *os << c.name;
}

class TimerctlFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(TimerctlFailure, EndsWithItsCodeAndTheWindowsMessage) {
  const FailureCase& c = GetParam();
  SimProcess sim(c.simArgs);
  const Outcome run = Timerctl(sim.path(), c.args);
  EXPECT_EQ(run.code, c.code) << run.err.toStdString();
  EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.message))) << run.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TimerctlFailure,
    ::testing::Values(
        FailureCase{"SilentDevice", {"--silent"}, {"read"}, 1, "El dispositivo no se encuentra"},
        FailureCase{"SilentOnFire", {"--silent"}, {"fire"}, 1, "El dispositivo no se encuentra"},
        FailureCase{"HangUpDuringTheWait",
                    {"--silent", "--hangup-after", "1"},
                    {"read"},
                    3,
                    "El puerto no esta disponible"},
        FailureCase{"MinutesOutOfRange",
                    {"--instant"},
                    {"upload", "--mono", "00:60:00"},
                    2,
                    "El valor debe estar entre 0 y 59"},
        FailureCase{"NotHHMMSS", {"--instant"}, {"upload", "--on", "1:2:3"}, 2, "HH:MM:SS"},
        // Noise ahead of the read-back leaves no well-formed configuration to start from.
        FailureCase{"NoisyReadBackNeedsEveryValue",
                    {"--instant", "--noise", "abc"},
                    {"upload", "--mono", "00:00:05"},
                    2,
                    "not a well-formed configuration"},
        FailureCase{"UnknownCommand", {"--instant"}, {"frobnicate"}, 2, "read, upload or fire"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(Timerctl, ABusyPortIsNotAvailable) {
  SimProcess sim({"--instant"});
  QSerialPort holder;
  holder.setPortName(sim.path());
  ASSERT_TRUE(holder.open(QIODevice::ReadWrite));
  const Outcome run = Timerctl(sim.path(), {"read"});
  EXPECT_EQ(run.code, 3);
  EXPECT_TRUE(run.err.contains("El puerto no esta disponible")) << run.err.toStdString();
}

TEST(Timerctl, TakesThePortMapOfTheConfigurationFile) {
  SimProcess sim({"--instant", "--mono", "00:01:30"});
  QTemporaryDir home;
  ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("timer-rs232")));
  QFile conf(home.filePath(QStringLiteral("timer-rs232/timer-rs232.conf")));
  ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
  conf.write(QStringLiteral("[ports]\n2=%1\n17=/dev/ttyS0\n").arg(sim.path()).toUtf8());
  conf.close();

  const Outcome run =
      RunTimerctl({"--com", "2", "read"}, {"XDG_CONFIG_HOME=" + home.path().toStdString()});

  EXPECT_EQ(run.code, 0) << run.err.toStdString();
  EXPECT_TRUE(run.out.startsWith("mono: 00:01:30")) << run.out.toStdString();
  EXPECT_TRUE(run.err.contains("17=/dev/ttyS0") && run.err.contains("skipped"))
      << run.err.toStdString();
}

TEST(Timerctl, ReachesATimerBehindASerialDeviceServer) {
  SimProcess sim({"--mono", "00:01:30", "--power-up", "off"});
  Ser2netProcess server(sim.path());
  ASSERT_FALSE(server.address().isEmpty()) << server.problem().toStdString();

  const Outcome read = Timerctl(server.address(), {"read"});
  EXPECT_EQ(read.code, 0) << read.err.toStdString();
  EXPECT_EQ(read.out, "mono: 00:01:30\non  : 00:00:00\noff : 00:00:00\npower-up: off\n");

  const Outcome nobody = Timerctl(QStringLiteral("tcp:127.0.0.1:1"), {"read"});
  EXPECT_EQ(nobody.code, 3);
  EXPECT_TRUE(nobody.err.contains("El puerto no esta disponible")) << nobody.err.toStdString();
  EXPECT_EQ(Timerctl(QStringLiteral("tcp:no-port"), {"read"}).code, 2);
}

TEST(Timerctl, ANoisyReadBackCanBeOverwrittenWhole) {
  SimProcess sim({"--instant", "--noise", "abc"});
  const Outcome run = Timerctl(sim.path(), {"upload", "--mono", "00:00:05", "--on", "00:00:01",
                                            "--off", "00:00:02", "--power-up", "on"});
  EXPECT_EQ(run.code, 0) << run.err.toStdString();
  EXPECT_TRUE(Logged(sim, "rx T0500000100000200001 "));
}

}  // namespace
