// SPDX-License-Identifier: GPL-3.0-or-later
// timerctl as a process, on real lines: the built simulator on a
// pseudo-terminal, behind ser2net, held by another program; what needs the
// process itself (its locale, its streams, its record beside another's).
// Its verdicts and words are tested in this process: tests/cli.

#include <gtest/gtest.h>

#include <ostream>

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSerialPort>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <thread>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "support/device_server.h"
#include "support/named_case.h"
#include "support/pty_devices.h"
#include "support/qt_printers.h"
#include "support/sim_process.h"

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

Outcome RunTimerctl(const QStringList& args, const QStringList& environment = {}) {
  Process process(QStringLiteral(TIMERCTL_PATH), args, environment);
  const std::optional<int> code = process.wait(15s);
  return {code.value_or(-1), process.out(), process.err()};
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

// Read, programmed and fired on a pseudo-terminal: what goes on the wire is
// what the device takes, and what it holds is what is read.
TEST(Timerctl, ReadsProgramsAndFiresARealLine) {
  SimProcess sim({"--mono", "01:30:15", "--on", "00:00:10", "--off", "00:02:00", "--power-up",
                  "off", "--split", "3"});
  const Outcome text = Timerctl(sim.path(), {"read"});
  EXPECT_EQ(text.code, 0);
  EXPECT_EQ(text.out, "mono: 01:30:15\non  : 00:00:10\noff : 00:02:00\npower-up: off\n");

  const Outcome upload = Timerctl(sim.path(), {"upload", "--mode", "bi", "--off", "12:02:00"});
  EXPECT_EQ(upload.code, 0) << upload.err.toStdString();
  EXPECT_TRUE(Logged(sim, "rx S1530011000000002120 ")) << "seconds first";
  EXPECT_EQ(Timerctl(sim.path(), {"fire"}).code, 0);
  EXPECT_TRUE(sim.waitForEvent("output ON", 3000ms));
}

// A line lost in the middle of an exchange is said as lost, first.
TEST(Timerctl, AHangUpIsSaidAsALostLine) {
  SimProcess sim({"--silent", "--hangup-after", "1"});
  const Outcome run = Timerctl(sim.path(), {"read"});
  EXPECT_EQ(run.code, 3);
  EXPECT_EQ(run.err, "timerctl: " + sim.path() +
                         ": the line was lost: the adapter went away or the device hung up\n"
                         "The port is not available (the line was lost: the adapter went away "
                         "or the device hung up)\n");
}

TEST(Timerctl, TakesThePortMapOfTheConfigurationFile) {
  SimProcess sim({"--instant", "--mono", "00:01:30"});
  QTemporaryDir home;
  ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("timer-rs232")));
  QFile conf(home.filePath(QStringLiteral("timer-rs232/timer-rs232.conf")));
  ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
  conf.write(QStringLiteral("[ports]\n2=%1\n17=/dev/ttyS0\n").arg(sim.path()).toUtf8());
  conf.close();

  const Outcome run = RunTimerctl({"--com", "2", "read"}, {"XDG_CONFIG_HOME=" + home.path()});

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

  EXPECT_EQ(Timerctl(QStringLiteral("tcp:no-port"), {"read"}).code, 2);
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

  Process upload(QStringLiteral(TIMERCTL_PATH),
                 {"--device", second.path(), "upload", "--from", "-"});
  upload.write(read.out.toUtf8());
  upload.closeInput();
  ASSERT_EQ(upload.wait(15s), 0) << upload.err().toStdString();

  const Outcome back = Timerctl(second.path(), {"read", "--json"});
  EXPECT_EQ(QString(back.out).replace(second.path(), first.path()), read.out)
      << "the same configuration, each naming its own device";
  EXPECT_TRUE(Logged(second, "rx T1530011000000002120 ")) << "seconds first, verified";
}

// Each device on its own line with its own wait, in the order given (what
// each line says is tested in tests/cli); the silent ones cost one
// fruitless wait, not one each.
TEST(Programmer, AFleetIsServedAtOnceAndReportedInOrder) {
  SimProcess fine({"--mono", "00:01:30"});
  SimProcess silent({"--silent"});
  SimProcess alsoSilent({"--silent"});
  const auto started = std::chrono::steady_clock::now();

  const Outcome run = RunTimerctl(
      {"--device", fine.path(), "--device", silent.path(), "--device", alsoSilent.path(), "read"});

  EXPECT_LT(std::chrono::steady_clock::now() - started, kTwoFruitlessWaits)
      << "one silent device after the other";
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.out.section('\n', 1),
            silent.path() + ": no answer\n" + alsoSilent.path() + ": no answer\n");
  EXPECT_FALSE(run.err.contains('\r')) << "no progress when stderr is no terminal";
}

// With room for two devices at a time and no higher limit to raise to, a
// larger fleet is served in turns, and no device fails for want of a
// descriptor.
TEST(Programmer, AFleetBeyondItsDescriptorsWaitsItsTurn) {
  const PtyDevices devices(24);
  QStringList args{"-c", R"(ulimit -n 48 && exec "$0" "$@")", QStringLiteral(TIMERCTL_PATH)};
  for (const QString& path : devices.paths()) args << "--device" << path;
  Process run(QStringLiteral("/bin/sh"), args << "--json"
                                              << "read");
  EXPECT_EQ(run.wait(30s), 0) << run.err().toStdString();
  EXPECT_EQ(run.out().count(QLatin1String(R"("result":"ok")")), 24) << run.out().toStdString();
}

struct LanguageCase {
  const char* name;
  QStringList environment;
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
  QFile record(log);
  ASSERT_TRUE(record.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = record.readAll().split('\n');
  EXPECT_EQ(lines.size(), 9) << "eight lines and the end of the last";
  for (qsizetype i = 0; i < 8; ++i)
    EXPECT_EQ(QJsonDocument::fromJson(lines[i]).object().value("result"), "ok") << lines[i].data();
}

}  // namespace

namespace {

// The command docs/timerctl.md gives to undo a day from the record: the
// first line of the block after its marker.
QString UndoCommand() {
  QFile doc(QStringLiteral(TIMER_SOURCE_DIR "/docs/timerctl.md"));
  if (!doc.open(QIODevice::ReadOnly)) return QStringLiteral("false");
  const QString text = QString::fromUtf8(doc.readAll());
  const qsizetype block = text.indexOf(QStringLiteral("```sh\n"), text.indexOf("<!-- undo:"));
  return text.mid(block + 6).section(QLatin1Char('\n'), 0, 0);
}

void Write(const QString& path, const QString& text) {
  QFile file(path);
  if (file.open(QIODevice::WriteOnly)) file.write(text.toUtf8());
}

// A plant kept in a file: backed up, applied unchanged, edited, planned,
// applied where it differs, and undone from the record.
TEST(Inventory, BackupEditPlanApplyAndUndo) {
  SimProcess a({"--instant", "--mono", "00:01:00"});
  SimProcess b({"--instant", "--mono", "00:02:00"});
  QTemporaryDir dir;
  const QString plant = dir.filePath("plant.jsonl"), log = dir.filePath("record.jsonl");
  const QString bothUnchanged = a.path() + ": unchanged\n" + b.path() + ": unchanged\n";
  Write(plant, RunTimerctl({"--device", a.path(), "--device", b.path(), "read", "--json"}).out);
  EXPECT_EQ(RunTimerctl({"apply", plant, "--log", log}).out, bothUnchanged);

  Write(plant,
        QString(RunTimerctl({"--device", a.path(), "--device", b.path(), "read", "--json"}).out)
            .replace("00:02:00", "00:09:00"));
  EXPECT_EQ(RunTimerctl({"plan", plant}).code, 5) << "a change";
  const Outcome apply = RunTimerctl({"apply", plant, "--log", log});
  EXPECT_EQ(apply.out, a.path() + ": unchanged\n" + b.path() + ": programmed\n");

  // A crash left a line cut off at the end of the record.
  QFile record(log);
  ASSERT_TRUE(record.open(QIODevice::Append));
  record.write(R"({"operation":"apply","path":")" + b.path().toUtf8() + R"(","before":{"mo)");
  record.close();
  Process undo(QStringLiteral("/bin/sh"), {"-c", "cd '" + dir.path() + "' && " + UndoCommand()});
  ASSERT_EQ(undo.wait(10s), 0) << undo.err().toStdString();
  QFile undone(dir.filePath("undo.jsonl"));
  ASSERT_TRUE(undone.open(QIODevice::ReadOnly));
  EXPECT_EQ(undone.readAll().count('\n'), 1) << "one entry for the one device written";
  EXPECT_EQ(RunTimerctl({"apply", dir.filePath("undo.jsonl")}).code, 0);
  EXPECT_TRUE(Timerctl(b.path(), {"read"}).out.startsWith("mono: 00:02:00"));
  QTest::qWait(200);  // the simulators' logs trail a little
  const QRegularExpression write(QStringLiteral("^rx [TS]"));
  EXPECT_EQ(a.events().filter(write).size(), 0) << "no write to a device that holds its own";
  EXPECT_EQ(b.events().filter(write).size(), 2) << "the change and its undoing";
}

}  // namespace

namespace {

// Lines of a programming record that are whole JSON.
std::vector<QJsonObject> WholeLines(const QString& path) {
  QFile file(path);
  std::vector<QJsonObject> lines;
  if (!file.open(QIODevice::ReadOnly)) return lines;
  for (const QByteArray& line : file.readAll().split('\n')) {
    const QJsonDocument json = QJsonDocument::fromJson(line);
    if (json.isObject()) lines.push_back(json.object());
  }
  return lines;
}

struct EndCase {
  const char* name;
  int signal;
  int code;
  bool finished;  // the devices in flight end with their result
};

TIMER_NAMED_CASE(EndCase)

class RunEnded : public ::testing::TestWithParam<EndCase> {};

// However the run ends once a configuration went out, every device that may
// have received one has its "before" in the record; a signal lets the
// devices in flight finish first.
TEST_P(RunEnded, EveryDeviceWrittenHasWhatItHeldInTheRecord) {
  const EndCase& c = GetParam();
  std::vector<std::unique_ptr<SimProcess>> sims;
  QTemporaryDir dir;
  const QString plant = dir.filePath("plant.jsonl"), log = dir.filePath("record.jsonl");
  QString inventory;
  for (int i = 0; i < 3; ++i) {
    sims.push_back(std::make_unique<SimProcess>(
        std::vector<std::string>{"--reply-delay", "400", "--mono", "00:00:01"}));
    inventory += QStringLiteral(R"({"device":"%1","mono":"00:00:0%2"})")
                     .arg(sims.back()->path())
                     .arg(i + 2) +
                 QLatin1Char('\n');
  }
  Write(plant, inventory);
  const auto written = [](const SimProcess& sim) {
    return !sim.events().filter(QRegularExpression(QStringLiteral("^rx T"))).isEmpty();
  };
  Process run(QStringLiteral(TIMERCTL_PATH), {"apply", plant, "--log", log});
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return std::any_of(sims.begin(), sims.end(), [&](auto& s) { return written(*s); }); },
      10000));
  ::kill(static_cast<pid_t>(run.pid()), c.signal);

  EXPECT_EQ(run.wait(15s), c.code) << run.err().toStdString();
  QTest::qWait(200);  // the simulators' logs trail a little
  const std::vector<QJsonObject> lines = WholeLines(log);
  for (const auto& sim : sims) {
    if (!written(*sim)) continue;
    const auto of = [&](const char* result) {
      return std::count_if(lines.begin(), lines.end(), [&](const QJsonObject& line) {
        return line["path"] == sim->path() && line["result"] == result &&
               line["before"]["mono"] == "00:00:01";
      });
    };
    EXPECT_EQ(of("sending"), 1) << sim->path().toStdString();
    EXPECT_EQ(of("programmed"), c.finished ? 1 : 0) << sim->path().toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(Ends, RunEnded,
                         ::testing::Values(EndCase{"CtrlC", SIGINT, 130, true},
                                           EndCase{"HangUp", SIGHUP, 129, true},
                                           EndCase{"Kill", SIGKILL, 128 + SIGKILL, false}),
                         kCaseName);

}  // namespace
