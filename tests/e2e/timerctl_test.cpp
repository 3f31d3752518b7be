// SPDX-License-Identifier: GPL-3.0-or-later
// timerctl, the scripting front end, against the built simulator.

#include <gtest/gtest.h>

#include <ostream>

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSerialPort>
#include <QTest>

#include <chrono>
#include <thread>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "e2e/device_server.h"
#include "e2e/sim_process.h"
#include "support/held_port.h"
#include "support/named_case.h"
#include "support/qt_printers.h"

namespace {

using namespace std::chrono_literals;

// Two silent devices served one after the other take at least this long, however
// fast the machine; served at once, they take one wait.
constexpr auto kTwoFruitlessWaits = 4000ms;

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

// Whether the simulator logs a line starting with `prefix` within a second
// (its log trails a little).
bool Logged(const SimProcess& sim, const QString& prefix) {
  const QRegularExpression line(QLatin1Char('^') + QRegularExpression::escape(prefix));
  return QTest::qWaitFor([&] { return !sim.events().filter(line).isEmpty(); }, 1000);
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
  QStringList args;  // FILE stands for a file holding `file`
  int code;
  QString message;  // on stderr
  const char* file = nullptr;
};

TIMER_NAMED_CASE(FailureCase)

class TimerctlFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(TimerctlFailure, EndsWithItsCodeAndTheWindowsMessage) {
  const FailureCase& c = GetParam();
  SimProcess sim(c.simArgs);
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("timer.json"));
  QStringList args = c.args;
  if (c.file) {
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(c.file);
    out.close();
    args.replaceInStrings(QStringLiteral("FILE"), file);
  }

  const Outcome run = Timerctl(sim.path(), args);

  EXPECT_EQ(run.code, c.code) << run.err.toStdString();
  EXPECT_TRUE(run.err.contains(c.message)) << run.err.toStdString();
  if (c.file) {
    EXPECT_TRUE(run.err.contains(file)) << "names the file: " << run.err.toStdString();
    std::this_thread::sleep_for(100ms);  // the simulator's log trails a little
    EXPECT_TRUE(sim.events().filter(QStringLiteral("rx")).isEmpty())
        << "refused before the port is opened";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TimerctlFailure,
    ::testing::Values(
        FailureCase{"SilentDevice", {"--silent"}, {"read"}, 1, "The device is not found"},
        FailureCase{"SilentOnFire", {"--silent"}, {"fire"}, 1, "The device is not found"},
        FailureCase{"EchoAndDevice", {"--echo"}, {"read"}, 1, "the line echoes what is sent"},
        FailureCase{"LoopbackPlug", {"--echo", "--silent"}, {"read"}, 1, "the line echoes"},
        FailureCase{"LoopbackPlugGivenEcho",
                    {"--echo", "--silent"},
                    {"--echo", "read"},
                    1,
                    "The device is not found"},
        // The first line says the line was lost, not what the call that
        // noticed it was told ("Inappropriate ioctl for device").
        FailureCase{"HangUpDuringTheWait",
                    {"--silent", "--hangup-after", "1"},
                    {"read"},
                    3,
                    ": the line was lost: the adapter went away or the device hung up\n"
                    "The port is not available (the line was lost"},
        FailureCase{"MinutesOutOfRange",
                    {"--instant"},
                    {"upload", "--mono", "00:60:00"},
                    2,
                    "--mono: the value must be between 0 and 59"},
        FailureCase{"NotHHMMSS", {"--instant"}, {"upload", "--on", "1:2:3"}, 2, "HH:MM:SS"},
        // A "Y" with fewer than 19 characters before it holds no read-back.
        FailureCase{"NoReadBackNeedsEveryValue",
                    {"--instant", "--noise", "xY"},
                    {"upload", "--mono", "00:00:05"},
                    2,
                    "not a well-formed configuration"},
        FailureCase{"ReadWithoutAReadBack",
                    {"--instant", "--noise", "xY"},
                    {"read"},
                    1,
                    "the answer holds no configuration: \"xY"},
        // The device acknowledges the upload, then the line goes before the
        // verification's probe: the port is not reopened.
        FailureCase{"HangUpBeforeTheVerification",
                    {"--instant", "--hangup-after", "2"},
                    {"upload", "--on", "00:00:10"},
                    3,
                    "The port is not available (the line was lost"},
        FailureCase{"UnknownCommand", {"--instant"}, {"frobnicate"}, 2, "read, upload, fire"},
        // The device acknowledges, but its memory write failed.
        FailureCase{"VerificationFails",
                    {"--instant", "--write-fails"},
                    {"upload", "--on", "00:00:10", "--power-up", "off"},
                    4,
                    "on: sent 00:00:10, device has 00:00:00\npower-up: sent off, device has on"},
        // What is wrong with a file is the parser's to say (tests/cli): the
        // program says it, names the file and opens no line.
        FailureCase{"BadFile",
                    {"--instant"},
                    {"upload", "--from", "FILE"},
                    2,
                    "\"mone\": unknown key",
                    "{\"mone\": \"00:00:01\"}"},
        FailureCase{"FileMissing",
                    {"--instant"},
                    {"upload", "--from", "/nonexistent/timer.json"},
                    2,
                    "/nonexistent/timer.json"}),
    kCaseName);

TEST(Timerctl, BehindALineThatEchoesItReadsProgramsVerifiesAndFires) {
  SimProcess sim({"--echo", "--instant"});
  EXPECT_EQ(Timerctl(sim.path(), {"--echo", "upload", "--mono", "00:00:07"}).code, 0);
  EXPECT_EQ(Timerctl(sim.path(), {"--echo", "fire"}).code, 0);
  EXPECT_TRUE(Timerctl(sim.path(), {"--echo", "read"}).out.contains("mono: 00:00:07"));
}

TEST(Timerctl, ABusyPortIsNotAvailableAndItsHolderNamed) {
  SimProcess sim({"--instant"});
  const HeldPort held(sim.path(), true);
  const Outcome run = Timerctl(sim.path(), {"read"});
  EXPECT_EQ(run.code, 3);
  EXPECT_TRUE(run.err.contains("cannot open " + sim.path() + ": in use by " + held.name()))
      << run.err.toStdString();
  EXPECT_TRUE(run.err.contains("The port is not available (in use by " + held.name()));
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
  DeviceServer server(sim.path());
  ASSERT_FALSE(server.address().isEmpty()) << server.problem().toStdString();

  const Outcome read = Timerctl(server.address(), {"read"});
  EXPECT_EQ(read.code, 0) << read.err.toStdString();
  EXPECT_EQ(read.out, "mono: 00:01:30\non  : 00:00:00\noff : 00:00:00\npower-up: off\n");

  const Outcome nobody = Timerctl(QStringLiteral("tcp:127.0.0.1:1"), {"read"});
  EXPECT_EQ(nobody.code, 3);
  EXPECT_TRUE(nobody.err.contains("The port is not available")) << nobody.err.toStdString();
  EXPECT_EQ(Timerctl(QStringLiteral("tcp:no-port"), {"read"}).code, 2);
}

// A server that serves one client at a time takes a few seconds to let the
// last run go: the next run waits for it rather than failing.
TEST(Timerctl, RunsOneAfterAnotherThroughAServerOfOneClientAtATime) {
  SimProcess sim({"--mono", "00:01:30"});
  DeviceServer server(sim.path(), DeviceServer::Kind::Pyserial);
  ASSERT_FALSE(server.address().isEmpty()) << server.problem().toStdString();
  for (const QStringList& args : {QStringList{"read"}, QStringList{"upload", "--on", "00:00:10"}}) {
    const Outcome run = Timerctl(server.address(), args);
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
  }
  std::this_thread::sleep_for(300ms);
  const Outcome fire = Timerctl(server.address(), {"fire"});
  EXPECT_EQ(fire.code, 0) << fire.err.toStdString();
}

TEST(Timerctl, NoiseAheadOfTheReadBackMovesNoField) {
  SimProcess sim({"--instant", "--noise", "abc"});
  const Outcome run =
      Timerctl(sim.path(), {"upload", "--mono", "00:00:05", "--on", "00:00:01", "--off", "00:00:02",
                            "--power-up", "on", "--no-verify"});
  EXPECT_EQ(run.code, 0) << run.err.toStdString();
  EXPECT_TRUE(Logged(sim, "rx T0500000100000200001 "));
  // The read-back is taken from right before its "Y", whatever came first.
  const Outcome verified = Timerctl(sim.path(), {"upload", "--mono", "00:00:05", "--on", "00:00:01",
                                                 "--off", "00:00:02", "--power-up", "on"});
  EXPECT_EQ(verified.code, 0) << verified.err.toStdString();
}

}  // namespace

namespace {

// The configuration one device holds, kept in a file, programmed into
// another through standard input, and read back equal.
TEST(Programmer, AConfigurationFileMakesTheRoundTrip) {
  SimProcess first(
      {"--mono", "01:30:15", "--on", "00:00:10", "--off", "12:02:00", "--power-up", "off"});
  SimProcess second({});
  const Outcome read = Timerctl(first.path(), {"read", "--json"});
  ASSERT_EQ(read.code, 0) << read.err.toStdString();

  ChildProcess upload(TIMERCTL_PATH,
                      {"--device", second.path().toStdString(), "upload", "--from", "-"});
  upload.writeInput(read.out.toStdString());
  upload.closeInput();
  ASSERT_EQ(upload.wait(15s), 0) << upload.err();

  const Outcome back = Timerctl(second.path(), {"read", "--json"});
  EXPECT_EQ(back.out, read.out);
  EXPECT_TRUE(Logged(second, "rx T1530011000000002120 ")) << "seconds first, verified";
}

// Each device on its own line with its own wait, in the order given; the
// silent one costs one fruitless wait, not one per device.
TEST(Programmer, AFleetIsServedAtOnceAndReportedInOrder) {
  SimProcess fine({"--mono", "00:01:30"});
  SimProcess silent({"--silent"});
  SimProcess alsoSilent({"--silent"});
  SimProcess forgetful({"--write-fails"});
  const QString missing = QStringLiteral("/dev/timer-missing-fleet");
  const auto started = std::chrono::steady_clock::now();

  const Outcome run = RunTimerctl({"--device", fine.path(), "--device", silent.path(), "--device",
                                   alsoSilent.path(), "--device", missing, "--device",
                                   forgetful.path(), "upload", "--on", "00:00:10"});

  EXPECT_LT(std::chrono::steady_clock::now() - started, kTwoFruitlessWaits)
      << "one silent device after the other";
  EXPECT_EQ(run.code, 4) << "the largest code among them";
  EXPECT_EQ(run.out.split('\n', Qt::SkipEmptyParts),
            (QStringList{fine.path() + ": ok", silent.path() + ": no answer",
                         alsoSilent.path() + ": no answer",
                         missing + ": port unavailable (No such file or directory)",
                         forgetful.path() + ": verification failed (on: sent 00:00:10, device "
                                            "has 00:00:00)"}));
  EXPECT_FALSE(run.err.contains('\r')) << "no progress when stderr is no terminal";

  const Outcome json =
      RunTimerctl({"--json", "--device", fine.path(), "--device", missing, "read"});
  const QStringList lines = json.out.split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 2);
  const QJsonObject first = QJsonDocument::fromJson(lines[0].toUtf8()).object();
  EXPECT_EQ(first.value("port").toString(), fine.path());
  EXPECT_EQ(first.value("result").toString(), "ok");
  EXPECT_EQ(first.value("configuration").toObject().value("mono").toString(), "00:01:30");
  EXPECT_EQ(QJsonDocument::fromJson(lines[1].toUtf8()).object().value("result").toString(),
            "port unavailable");
  EXPECT_EQ(json.code, 3);
  EXPECT_EQ(RunTimerctl({"--device", missing, "--device", fine.path(), "read"}).code, 3)
      << "the largest code, not the last device's";
}

struct LanguageCase {
  const char* name;
  std::vector<std::string> environment;
  bool spanish;
};

TIMER_NAMED_CASE(LanguageCase)

class TimerctlLanguage : public ::testing::TestWithParam<LanguageCase> {};

// People read their locale's language; scripts read the same in every locale.
TEST_P(TimerctlLanguage, PeopleReadTheirsScriptsReadOne) {
  const LanguageCase& c = GetParam();
  SimProcess forgetful({"--write-fails"});
  // Its own name: two programs opening one missing device at once collide on
  // its lock file instead.
  const QString missing = QStringLiteral("/dev/timer-missing-") + QLatin1String(c.name);
  const QStringList fleet{"--device", forgetful.path(), "--device", missing,
                          "upload",   "--on",           "00:00:10"};
  const auto run = [&c](const QStringList& args) { return RunTimerctl(args, c.environment); };

  EXPECT_TRUE(run({"--help"})
                  .out.startsWith(c.spanish ? "Modo de empleo: timerctl [OPCIONES]"
                                            : "Usage: timerctl [OPTIONS]"));
  const Outcome people = run(fleet);
  EXPECT_EQ(people.code, 4);
  const QStringList lines =
      c.spanish ? QStringList{forgetful.path() +
                                  ": verificación fallida (on: enviado 00:00:10, "
                                  "el dispositivo tiene 00:00:00)",
                              missing + ": puerto no disponible (No such file or directory)"}
                : QStringList{forgetful.path() +
                                  ": verification failed (on: sent 00:00:10, "
                                  "device has 00:00:00)",
                              missing + ": port unavailable (No such file or directory)"};
  EXPECT_EQ(people.out.split('\n', Qt::SkipEmptyParts), lines);
  EXPECT_TRUE(
      people.err.contains((c.spanish ? "timerctl: no se puede abrir " : "timerctl: cannot open ") +
                          missing + ": No such file or directory\n"))
      << people.err.toStdString();
  const Outcome misused = run({"--com", "17", "read"});
  EXPECT_EQ(misused.code, 2);
  EXPECT_EQ(misused.err, c.spanish ? "timerctl: --com admite un número de 1 a 16\n"
                                   : "timerctl: --com takes a number from 1 to 16\n");
  EXPECT_EQ(run({"upload", "--mono", "00:60:00"}).err,
            c.spanish ? "timerctl: --mono: El valor debe estar entre 0 y 59\n"
                      : "timerctl: --mono: the value must be between 0 and 59\n");
  // One device that fails: the window's words for people, a fleet's line for scripts.
  const Outcome alone = run({"--json", "--device", missing, "read"});
  EXPECT_TRUE(alone.err.endsWith(c.spanish
                                     ? "El puerto no esta disponible (No such file or directory)\n"
                                     : "The port is not available (No such file or directory)\n"))
      << alone.err.toStdString();
  EXPECT_EQ(QJsonDocument::fromJson(alone.out.toUtf8()).object().value("result"),
            "port unavailable");

  const Outcome scripts = run(QStringList{"--json"} + fleet);
  EXPECT_EQ(scripts.code, 4);
  EXPECT_EQ(scripts.out, RunTimerctl(QStringList{"--json"} + fleet, {"LC_ALL=C"}).out);
  EXPECT_TRUE(scripts.out.contains("\"result\":\"verification failed\""))
      << scripts.out.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Locales, TimerctlLanguage,
    ::testing::Values(LanguageCase{"Lang", {"LANG=es_ES.UTF-8", "LC_ALL=", "LC_MESSAGES="}, true},
                      LanguageCase{"MessagesOverLang",
                                   {"LC_MESSAGES=es_MX", "LANG=en_US.UTF-8", "LC_ALL="},
                                   true},
                      LanguageCase{"AllOverLang", {"LC_ALL=C", "LANG=es_ES.UTF-8"}, false}),
    kCaseName);

// "Which port is my timer on?": every Com number at once, in about one
// fruitless wait.
TEST(Programmer, AScanSaysWhichPortHasATimer) {
  SimProcess timer({"--mono", "00:01:30", "--power-up", "off"});
  SimProcess silent({"--silent"});
  SimProcess alsoSilent({"--silent"});
  const auto started = std::chrono::steady_clock::now();

  const Outcome run =
      RunTimerctl({"--port", "1=" + timer.path(), "--port", "2=" + silent.path(), "--port",
                   "3=" + alsoSilent.path(), "--port", "5=/dev/timer-missing-scan", "scan"});

  EXPECT_LT(std::chrono::steady_clock::now() - started, kTwoFruitlessWaits)
      << "one silent port after the other";
  EXPECT_EQ(run.code, 0);
  EXPECT_EQ(
      run.out.split('\n', Qt::SkipEmptyParts),
      (QStringList{"Com1 " + timer.path() +
                       ": timer (mono 00:01:30, on 00:00:00, off 00:00:00, power-up off)",
                   "Com2 " + silent.path() + ": no answer",
                   "Com3 " + alsoSilent.path() + ": no answer",
                   "Com5 /dev/timer-missing-scan: port unavailable (No such file or directory)"}));
  EXPECT_EQ(RunTimerctl({"--port", "2=" + silent.path(), "scan"}).code, 1) << "no timer found";
}

// Every byte, as a technician reads it: "Y" out, the 20 characters in.
TEST(Programmer, TheTraceShowsEveryByte) {
  SimProcess sim({"--mono", "01:30:15"});
  const Outcome run = Timerctl(sim.path(), {"--trace", "read"});
  ASSERT_EQ(run.code, 0) << run.err.toStdString();
  const QRegularExpression line(
      QStringLiteral(R"re(^ *\d+\.\d (tx|rx) "([^"]*)"((?: [0-9a-f]{2})+)$)re"));
  QString sent, received;
  for (const QString& text : run.err.split('\n', Qt::SkipEmptyParts)) {
    const QRegularExpressionMatch m = line.match(text);
    ASSERT_TRUE(m.hasMatch()) << text.toStdString();
    (m.captured(1) == "tx" ? sent : received) += m.captured(2);
  }
  EXPECT_EQ(sent, "Y");
  EXPECT_EQ(received, "1530010000000000001Y");
}

}  // namespace

namespace {

// Every line of a programming record, parsed; an unparsable line is an empty object.
std::vector<QJsonObject> RecordLines(const QString& path) {
  QFile file(path);
  std::vector<QJsonObject> lines;
  if (!file.open(QIODevice::ReadOnly)) return lines;
  for (const QByteArray& line : file.readAll().split('\n'))
    if (!line.isEmpty()) lines.push_back(QJsonDocument::fromJson(line).object());
  return lines;
}

TEST(Record, OneLinePerDeviceAndOperationWithItsFields) {
  SimProcess sim({"--instant", "--mono", "00:01:02"});
  QTemporaryDir dir;
  const QString log = dir.filePath("record.jsonl");
  for (const char* op : {"read", "fire", "scan"})
    RunTimerctl({"--port", "1=" + sim.path(), "--log", log, QString::fromLatin1(op)});
  EXPECT_EQ(Timerctl(sim.path(), {"--log", log, "upload", "--mono", "00:00:09"}).code, 0);
  EXPECT_EQ(
      RunTimerctl({"--device", sim.path(), "--device", "/dev/nonexistent", "--log", log, "read"})
          .code,
      3);
  const std::vector<QJsonObject> lines = RecordLines(log);
  ASSERT_EQ(lines.size(), 6u);
  const QRegularExpression time(
      QStringLiteral(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d$)"));
  for (const QJsonObject& line : lines) {
    EXPECT_TRUE(time.match(line["time"].toString()).hasMatch())
        << line["time"].toString().toStdString();
    EXPECT_EQ(line["version"], QStringLiteral(TIMER_VERSION));
  }
  EXPECT_EQ(lines[0]["read_back"]["mono"], "00:01:02");
  EXPECT_EQ(lines[0]["com"], 1);
  EXPECT_EQ(lines[1]["operation"], "fire");
  EXPECT_EQ(lines[2]["result"], "timer");
  EXPECT_EQ(lines[3]["sent"]["mono"], "00:00:09");
  EXPECT_EQ(lines[3]["sent"]["mode"], "mono") << "the mode sent, given or not";
  EXPECT_EQ(lines[3]["read_back"]["mono"], "00:00:09") << "the verification's read-back";
  EXPECT_FALSE(lines[3].contains("com")) << "a --device has no Com number";
  const bool missingFirst = lines[4]["path"] == "/dev/nonexistent";
  EXPECT_EQ(lines[missingFirst ? 4 : 5]["exit_code"], 3);
  EXPECT_EQ(lines[missingFirst ? 5 : 4]["result"], "ok");
}

// Two fleets appending at once: every line of each, whole.
TEST(Record, TwoProgramsAppendingAtOnceLoseNoLine) {
  std::vector<std::unique_ptr<SimProcess>> sims;
  QStringList fleets[2];
  for (int i = 0; i < 8; ++i) {
    sims.push_back(std::make_unique<SimProcess>(std::vector<std::string>{"--instant"}));
    fleets[i % 2] << "--device" << sims.back()->path();
  }
  QTemporaryDir dir;
  const QString log = dir.filePath("record.jsonl");
  std::thread other([&] { RunTimerctl(fleets[1] + QStringList{"--log", log, "read"}); });
  RunTimerctl(fleets[0] + QStringList{"--log", log, "read"});
  other.join();
  const std::vector<QJsonObject> lines = RecordLines(log);
  EXPECT_EQ(lines.size(), 8u);
  for (const QJsonObject& line : lines) EXPECT_EQ(line["result"], "ok");
}

TEST(Record, ThatCannotBeOpenedOrWrittenEndsWithCode2) {
  SimProcess sim({"--instant"});
  QTemporaryDir dir;
  const Outcome unopenable = Timerctl(sim.path(), {"--log", dir.path(), "read"});
  EXPECT_EQ(unopenable.code, 2);
  EXPECT_TRUE(unopenable.err.contains(dir.path())) << unopenable.err.toStdString();
  EXPECT_FALSE(Logged(sim, "rx")) << "before any port opens";
  const Outcome full = Timerctl(sim.path(), {"--log", "/dev/full", "read"});
  EXPECT_EQ(full.code, 2);
  EXPECT_TRUE(full.err.contains("No space left on device")) << full.err.toStdString();
}

}  // namespace
