// SPDX-License-Identifier: GPL-3.0-or-later
// timerctl run in this process over simulated devices, in simulated time:
// its verdicts, its words for people and scripts, fleets and the record.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <csignal>

#include <sys/resource.h>

#include "cli/fleet.h"
#include "cli/options.h"
#include "cli/report.h"
#include "cli/timerctl.h"
#include "support/named_case.h"
#include "support/pty_devices.h"
#include "support/qt_printers.h"
#include "support/simulated_line.h"

namespace {

using namespace std::chrono_literals;
using timer_sim::Mode;

// A timer holding mono 01:30:15, on 00:00:10, off 00:02:00, power-up off,
// and devices that misbehave as their names say; any other path is missing.
struct Fleet : SimulatedFleet {
  Fleet() {
    const auto device = [this](const char* path, auto set) {
      timer_sim::Settings settings;
      set(settings);
      add(QString::fromLatin1(path), settings);
    };
    device("/dev/timer", [](auto& s) { s.config = {Mode::Monostable, 5415s, 10s, 120s, false}; });
    device("/dev/silent", [](auto& s) { s.silent = true; });
    device("/dev/echo", [](auto& s) { s.echo = true; });
    device("/dev/plug", [](auto& s) { s.echo = s.silent = true; });
    device("/dev/forgetful", [](auto& s) { s.writeFails = true; });
    device("/dev/no-read-back", [](auto& s) { s.noise = "xY"; });
    device("/dev/chatty", [](auto& s) { s.noise = "abc"; });
    device("/dev/hangs-up", [](auto& s) {
      s.silent = true;
      s.hangupAfter = 1;
    });
    device("/dev/hangs-up-later", [](auto& s) { s.hangupAfter = 2; });
    device("/dev/spare", [](auto&) {});
    // Memory that holds non-digits: mono "?0:00:00", the power-up flag "x".
    device("/dev/damaged", [](auto& s) { s.memory = "0000?0000000000000x"; });
    device("/dev/odd-flag", [](auto& s) { s.memory = "1530010000000000002"; });
  }
};

struct Ran {
  int code = -1;
  QString out, err;
};

// `interrupted`: the signal that stops the run, asked before each device.
Ran RunIn(SimulatedFleet& fleet, const QStringList& args, std::function<int()> interrupted = {}) {
  Ran ran;
  // The timer's USB adapter has a serial number.
  const Console console{[&ran](const QString& text) { ran.out += text; },
                        [&ran](const QString& text) { ran.err += text; },
                        false,
                        fleet.lines(),
                        [] {
                          return Adapters({{"/dev/timer", "A50285BI", {}, {}}});
                        },
                        std::move(interrupted)};
  ran.code = RunTimerctl(QStringList{"timerctl"} + args, console);
  return ran;
}

struct RunCase {
  const char* name;
  QStringList args;
  int code;
  const char* out;  // all of it
  const char* err;  // part of it
  bool opens = true;
  const char* inventory = nullptr;  // what FILE in `args` holds
  const char* settings = nullptr;   // the settings file
};

TIMER_NAMED_CASE(RunCase)

class Timerctl : public ::testing::TestWithParam<RunCase> {};

// FILE in a case's arguments is the inventory; DIR a folder that holds a
// file "timer" and a link to it, "alias". In what a kept plan holds, REACHED
// is what /dev/timer's name reached, and END the last line of a plan of one.
TEST_P(Timerctl, EndsWithItsCodeAndItsWords) {
  const RunCase& c = GetParam();
  Fleet fleet;
  QTemporaryDir dir;
  // Bytes as they stand, a byte order mark included.
  const auto placed = [&dir](const char* text) {
    return QByteArray(text)
        .replace("DIR", dir.path().toUtf8())
        .replace("REACHED", R"("reached":{"path":"/dev/timer","serial_number":"A50285BI"})")
        .replace("END", R"({"end_of_plan":{"devices":1}})");
  };
  QFile timer(dir.filePath("timer"));
  ASSERT_TRUE(timer.open(QIODevice::WriteOnly) &&
              QFile::link(timer.fileName(), dir.filePath("alias")));
  QFile inventory(dir.filePath(QStringLiteral("plant.jsonl")));
  if (c.inventory) {
    ASSERT_TRUE(inventory.open(QIODevice::WriteOnly));
    inventory.write(placed(c.inventory));
    inventory.close();
  }
  const QByteArray home = qgetenv("XDG_CONFIG_HOME");
  if (c.settings) {
    ASSERT_TRUE(QDir(dir.path()).mkpath("timer-rs232"));
    QFile settings(dir.filePath("timer-rs232/timer-rs232.conf"));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly) && settings.write(c.settings) > 0);
    qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
  }
  const Ran ran = RunIn(fleet, QStringList(c.args)
                                   .replaceInStrings("FILE", inventory.fileName())
                                   .replaceInStrings("DIR", dir.path()));
  qputenv("XDG_CONFIG_HOME", home);
  EXPECT_EQ(ran.code, c.code) << ran.err.toStdString();
  EXPECT_EQ(ran.out, QString::fromUtf8(placed(c.out)));
  EXPECT_TRUE(ran.err.contains(QString::fromUtf8(placed(c.err)))) << ran.err.toStdString();
  EXPECT_EQ(fleet.linesMade() > 0, c.opens) << "refused before any port is opened";
}

const char kFleetUpload[] =
    "/dev/timer: ok\n/dev/silent: no answer\n/dev/missing: port unavailable (scripted failure)\n"
    "/dev/forgetful: verification failed (on: sent 00:00:10, device has 00:00:00)\n";
const char kRead[] = "mono: 01:30:15\non  : 00:00:10\noff : 00:02:00\npower-up: off\n";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, Timerctl, ::testing::Values(
    RunCase{"Reads", {"--device", "/dev/timer", "read"}, 0, kRead, ""},
    RunCase{"ReadsAsAConfigurationFile", {"--device", "/dev/timer", "read", "--json"}, 0,
            R"({"mono":"01:30:15","off":"00:02:00","on":"00:00:10","power_up":"off",)"
            R"("serial_number":"A50285BI","well_formed":true})" "\n", ""},
    RunCase{"Fires", {"--device", "/dev/timer", "fire"}, 0, "", ""},
    RunCase{"SilentDevice", {"--device", "/dev/silent", "read"}, 1, "", "The device is not found\n"},
    RunCase{"EchoAndDevice", {"--device", "/dev/echo", "read"}, 1, "", "the line echoes what is sent"},
    RunCase{"LoopbackPlug", {"--device", "/dev/plug", "read"}, 1, "", "the line echoes"},
    RunCase{"LoopbackPlugGivenEcho", {"--echo", "--device", "/dev/plug", "read"}, 1, "",
            "The device is not found"},
    RunCase{"BehindAnEchoItProgramsAndVerifies",
            {"--echo", "--device", "/dev/echo", "upload", "--mono", "00:00:07"}, 0, "", ""},
    RunCase{"BehindAnEchoItFires", {"--echo", "--device", "/dev/echo", "fire"}, 0, "", ""},
    RunCase{"HangUpDuringTheWait", {"--device", "/dev/hangs-up", "read"}, 3, "",
            "The port is not available (scripted line lost)\n"},
    // The device acknowledges the upload, then the line goes before the
    // verification's probe: the port is not reopened.
    RunCase{"HangUpBeforeTheVerification",
            {"--device", "/dev/hangs-up-later", "upload", "--on", "00:00:10"}, 3, "",
            "The port is not available (scripted line lost)\n"},
    RunCase{"MinutesOutOfRange", {"--device", "/dev/timer", "upload", "--mono", "00:60:00"}, 2, "",
            "timerctl: --mono: the value must be between 0 and 59\n", false},
    RunCase{"NotHHMMSS", {"upload", "--on", "1:2:3"}, 2, "", "HH:MM:SS", false},
    RunCase{"UnknownCommand", {"frobnicate"}, 2, "", "read, upload, fire", false},
    RunCase{"FileMissing", {"upload", "--from", "/nonexistent/timer.json"}, 2, "",
            "/nonexistent/timer.json", false},
    RunCase{"RecordThatCannotBeOpened", {"--log", "/nonexistent/record.jsonl", "read"}, 2, "",
            "--log /nonexistent/record.jsonl", false},
    RunCase{"RecordThatCannotBeWritten", {"--device", "/dev/timer", "--log", "/dev/full", "read"},
            2, kRead, "No space left on device"},
    // A "Y" with fewer than 19 characters before it holds no read-back.
    RunCase{"NoReadBackNeedsEveryValue",
            {"--device", "/dev/no-read-back", "upload", "--mono", "00:00:05"}, 2, "",
            "not a well-formed configuration"},
    RunCase{"ReadWithoutAReadBack", {"--device", "/dev/no-read-back", "read"}, 1, "",
            "the answer holds no configuration: \"xY"},
    // The device acknowledges, but its memory write failed.
    RunCase{"VerificationFails",
            {"--device", "/dev/forgetful", "upload", "--on", "00:00:10", "--power-up", "off"}, 4, "",
            "on: sent 00:00:10, device has 00:00:00\npower-up: sent off, device has on\n"},
    RunCase{"NoiseAheadOfTheReadBackMovesNoField",
            {"--device", "/dev/chatty", "upload", "--mono", "00:00:05", "--on", "00:00:01", "--off",
             "00:00:02", "--power-up", "on"}, 0, "", ""},
    RunCase{"MissingDevice", {"--device", "/dev/missing", "read"}, 3, "",
            "The port is not available (scripted failure)\n"},
    RunCase{"OneDeviceFailingInJson", {"--json", "--device", "/dev/missing", "read"}, 3,
            R"({"device":"/dev/missing","port":"/dev/missing","reason":"scripted failure",)"
            R"("result":"port unavailable"})" "\n", ""},
    // What an upload found and sent, for a script to show before and after.
    RunCase{"AnUploadInJson", {"--json", "--device", "/dev/timer", "upload", "--on", "00:20:00"}, 0,
            R"({"before":{"mono":"01:30:15","off":"00:02:00","on":"00:00:10","power_up":"off"},)"
            R"("device":"/dev/timer","port":"/dev/timer","result":"ok","sent":{"mode":"mono",)"
            R"("mono":"01:30:15","off":"00:02:00","on":"00:20:00","power_up":"off"}})" "\n", ""},
    // timerctl's own report of an apply is an inventory again.
    RunCase{"AnApplysReportTakenBack", {"plan", "FILE"}, 0, "/dev/timer: unchanged\n", "", true,
            R"({"device":"/dev/timer","on":"00:00:10","result":"programmed","before":{"on":"0"},)"
            R"("sent":{"on":"00:00:10"}})"},
    // Each device on its own line, in the order given; the largest code.
    RunCase{"AFleet", {"--device", "/dev/timer", "--device", "/dev/silent", "--device",
            "/dev/missing", "--device", "/dev/forgetful", "upload", "--on", "00:00:10"}, 4,
            kFleetUpload, ""},
    // A fleet's lines name each device as an inventory does: by its adapter's
    // serial number where the system knows one.
    RunCase{"AFleetInJson", {"--json", "--device", "/dev/timer", "--device", "/dev/missing", "read"},
            3, R"({"configuration":{"mono":"01:30:15","off":"00:02:00","on":"00:00:10",)"
            R"("power_up":"off"},"port":"/dev/timer","result":"ok","serial_number":"A50285BI"})" "\n"
            R"({"device":"/dev/missing","port":"/dev/missing","reason":"scripted failure",)"
            R"("result":"port unavailable"})" "\n", ""},
    RunCase{"TheLargestCodeNotTheLast", {"--device", "/dev/missing", "--device", "/dev/silent",
            "read"}, 3, "/dev/missing: port unavailable (scripted failure)\n/dev/silent: no answer\n",
            ""},
    // "Which port is my timer on?"
    RunCase{"AScan", {"--port", "1=/dev/timer", "--port", "2=/dev/silent", "--port",
            "5=/dev/missing", "scan"}, 0,
            "Com1 /dev/timer: timer (mono 01:30:15, on 00:00:10, off 00:02:00, power-up off)\n"
            "Com2 /dev/silent: no answer\nCom5 /dev/missing: port unavailable (scripted failure)\n",
            ""},
    RunCase{"AScanWithoutATimer", {"--port", "2=/dev/silent", "scan"}, 1,
            "Com2 /dev/silent: no answer\n", ""},
    // A plant's inventory: only times and power-up are compared.
    RunCase{"PlanUnchanged", {"plan", "FILE"}, 0, "/dev/timer: unchanged\n", "", true,
            R"({"device":"/dev/timer","mono":"01:30:15","power_up":"off"})"},
    RunCase{"PlanOneTimeDiffers", {"plan", "FILE"}, 5,
            "/dev/timer: differs (written as monostable: the entry gives no mode) (on: device 00:00:10, file 00:20:10)\n", "", true,
            R"({"device":"/dev/timer","configuration":{"on":"00:20:10"}})"},
    RunCase{"PlanOnlyPowerUpDiffers", {"plan", "FILE"}, 5,
            "/dev/timer: differs (written as monostable: the entry gives no mode) (power-up: device off, file on)\n", "", true,
            R"({"device":"/dev/timer","power_up":"on"})"},
    RunCase{"PlanTheModeCannotBeChecked", {"plan", "FILE"}, 0,
            "/dev/timer: unchanged (mode bi not checked: the device does not report its mode; it "
            "is written with any change)\n", "", true, R"({"device":"/dev/timer","mode":"bi"})"},
    // A device that could not be read counts before one that differs.
    RunCase{"PlanWithADeviceMissing", {"plan", "FILE"}, 3,
            "/dev/missing: port unavailable (scripted failure)\n"
            "/dev/timer: differs (written as monostable: the entry gives no mode) (on: device 00:00:10, file 00:20:10)\n", "", true,
            "{\"device\":\"/dev/missing\"}\n{\"device\":\"/dev/timer\",\"on\":\"00:20:10\"}"},
    RunCase{"SerialNumberFound", {"plan", "FILE"}, 0, "A50285BI /dev/timer: unchanged\n", "", true,
            R"({"serial_number":"A50285BI","mono":"01:30:15"})"},
    RunCase{"SerialNumberNotFound", {"plan", "FILE"}, 2, "",
            "plant.jsonl:1: no adapter has the serial number FT0001\n", false,
            R"({"serial_number":"FT0001"})"},
    RunCase{"TwoEntriesForOneDevice", {"apply", "FILE"}, 2, "",
            "plant.jsonl:3: names the same device as line 1\n", false,
            "{\"device\":\"/dev/timer\"}\n\n{\"serial_number\":\"A50285BI\"}"},
    RunCase{"TornInventoryLine", {"apply", "FILE"}, 2, "", "plant.jsonl:2: not one JSON object",
            false, "{\"device\":\"/dev/spare\"}\n{\"device\":\"/dev/timer\",\"mono\":\"01:"},
    RunCase{"ApplyWritesWhatDiffers", {"apply", "FILE"}, 0,
            "/dev/timer: unchanged\n/dev/spare: programmed\n", "", true,
            "{\"device\":\"/dev/timer\",\"on\":\"00:00:10\"}\n{\"device\":\"/dev/spare\",\"on\":\"00:00:10\"}"},
    // The device changed after the plan was made: it is not written.
    RunCase{"AStalePlan", {"apply", "--plan", "FILE"}, 6,
            "/dev/timer: changed since plan (on: the plan saw 00:00:00, device has 00:00:10)\n", "",
            true, R"({"device":"/dev/timer","configuration":{"on":"00:20:10"},"held":)"
            R"({"mono":"01:30:15","on":"00:00:00","off":"00:02:00","power_up":"off"},)" "REACHED}\nEND"},
    RunCase{"APlanAppliedAgainFindsItDone", {"apply", "--plan", "FILE"}, 0, "/dev/timer: unchanged\n",
            "", true, R"({"device":"/dev/timer","configuration":{"on":"00:00:10"},"held":)"
            R"({"mono":"01:30:15","on":"00:20:10","off":"00:02:00","power_up":"off"},)" "REACHED}\nEND"},
    RunCase{"APlanForTheDeviceOnAnotherPath", {"apply", "--plan", "FILE"}, 6,
            "/dev/timer: changed since plan (the plan was made for /dev/other (adapter A50285BI), the "
            "name now reaches /dev/timer (adapter A50285BI))\n", "", true,
            R"({"device":"/dev/timer","configuration":{"on":"00:20:10"},"held":)"
            R"({"mono":"01:30:15","on":"00:00:10","off":"00:02:00","power_up":"off"},)"
            R"("reached":{"path":"/dev/other","serial_number":"A50285BI"}})" "\nEND"},
    // What the plan saw is compared as it was read, never sent.
    RunCase{"APlanOfADamagedMemory", {"apply", "--plan", "FILE"}, 0, "/dev/damaged: programmed\n",
            "", true, R"({"device":"/dev/damaged","mono":"00:00:05","on":"00:00:00","off":"00:00:00",)"
            R"("power_up":"off","held":{"mono":"?0:00:00","on":"00:00:00","off":"00:00:00",)"
            R"("power_up":"x"},"reached":{"path":"/dev/damaged"}})" "\nEND"},
    RunCase{"APlanLineWithoutItsGuard", {"apply", "--plan", "FILE"}, 2, "",
            "plant.jsonl:1: not a kept plan's line: \"held\" is missing", false,
            R"({"device":"/dev/timer","on":"00:20:10",REACHED})" "\nEND"},
    RunCase{"APlanCutShort", {"apply", "--plan", "FILE"}, 2, "",
            "plant.jsonl: ends without the plan's last line", false,
            R"({"device":"/dev/timer","on":"00:20:10","held":null,REACHED})"},
    RunCase{"APlanThatLacksALine", {"apply", "--plan", "FILE"}, 2, "",
            "plant.jsonl:2: the plan counts 2 devices, but 1 are here", false,
            R"({"device":"/dev/timer","on":"00:20:10","held":null,REACHED})" "\n"
            R"({"end_of_plan":{"devices":2}})"},
    RunCase{"PlanWithoutAReadBackFails", {"plan", "FILE"}, 1,
            "/dev/no-read-back: no answer (the answer holds no configuration: \"xY\")\n",
            "", true, R"({"device":"/dev/no-read-back","on":"00:00:10"})"},
    RunCase{"PlanKeptOnStandardOutput", {"plan", "FILE", "--out", "-"}, 5,
            R"({"configuration":{"on":"00:20:10"},"device":"/dev/timer","differences":)"
            R"(["on: device 00:00:10, file 00:20:10"],"held":{"mono":"01:30:15","off":"00:02:00",)"
            R"("on":"00:00:10","power_up":"off"},"port":"/dev/timer","reached":{"path":"/dev/timer",)"
            R"("serial_number":"A50285BI"},"reason":"written as monostable: the entry gives no mode",)"
            R"("result":"differs"})" "\nEND\n", "/dev/timer: differs", true,
            R"({"device":"/dev/timer","on":"00:20:10"})"},
    RunCase{"PlanNotKept", {"plan", "FILE", "--out", "/dev/full"}, 2, "/dev/timer: unchanged\n",
            "timerctl: --out /dev/full: No space left on device", true,
            R"({"device":"/dev/timer","on":"00:00:10"})"},
    RunCase{"PlanOutNamedEmpty", {"plan", "FILE", "--out", ""}, 2, "", "--out: the name is empty",
            false, R"({"device":"/dev/timer"})"},
    RunCase{"InventoryNamedEmpty", {"apply", ""}, 2, "", "apply: the name is empty", false},
    RunCase{"KeptPlanNamedEmpty", {"apply", "--plan", ""}, 2, "", "--plan: the name is empty", false},
    RunCase{"DeviceNamedEmpty", {"--device", "", "read"}, 2, "", "--device: the name is empty", false},
    RunCase{"OneDeviceNamedTwiceOnTheCommandLine", {"--device", "DIR/timer", "--device", "DIR/alias",
            "read"}, 2, "", "DIR/timer and DIR/alias name the same device", false},
    RunCase{"OneDeviceThroughALinkAndItsPath", {"plan", "FILE"}, 2, "",
            "plant.jsonl:2: names the same device as line 1", false,
            "{\"device\":\"DIR/alias\"}\n{\"device\":\"DIR/timer\"}"},
    RunCase{"ANulInADevicePath", {"plan", "FILE"}, 2, "",
            "plant.jsonl:1: \"device\" holds a NUL character", false,
            R"({"device":"/dev/timer\u0000x"})"},
    RunCase{"ANulInTheSettingsFilesPortMap", {"--com", "3", "read"}, 2, "",
            "timer-rs232.conf: [ports] 3: the device path holds a NUL character", false, nullptr,
            "[ports]\n3=/dev/timer\\0x\n"},
    RunCase{"AByteOrderMarkBeforeAComment", {"plan", "FILE"}, 0, "/dev/timer: unchanged\n", "",
            true, "\xEF\xBB\xBF# hall 3\n{\"device\":\"/dev/timer\"}"},
    RunCase{"AnInventoryLinesTrust", {"plan", "FILE"}, 0, "/dev/timer: unchanged\n", "", true,
            R"({"device":"/dev/timer","tls":{"ca":"/etc/plant-ca.pem","pin":"sha256:AB"}})"},
    RunCase{"AnInventoryLinesTrustMistyped", {"plan", "FILE"}, 2, "",
            R"(plant.jsonl:1: "tls": expected texts under "ca", "pin", "cert" and "key")", false,
            R"({"device":"/dev/timer","tls":{"cafile":"/etc/plant-ca.pem"}})"},
    RunCase{"AKeyGivenTwice", {"plan", "FILE"}, 2, "", "plant.jsonl:1: \"on\" is given twice", false,
            R"({"device":"/dev/timer","configuration":{"on":"00:00:10","on":"00:20:10"}})"},
    RunCase{"AFlagThatIsNeitherIsNotWellFormed", {"--device", "/dev/odd-flag", "read", "--json"}, 0,
            R"({"device":"/dev/odd-flag","mono":"01:30:15","off":"00:00:00","on":"00:00:00",)"
            R"("power_up":"2","well_formed":false})" "\n", ""}),
    kCaseName);
// clang-format on

// What an upload sends is what the device takes, seconds first.
TEST(Upload, TheDeviceHoldsWhatWasSent) {
  Fleet fleet;
  const Ran ran = RunIn(fleet, {"--device", "/dev/timer", "upload", "--mode", "bi", "--on",
                                "00:00:10", "--off", "12:02:00", "--power-up", "on"});
  EXPECT_EQ(ran.code, 0) << ran.err.toStdString();
  EXPECT_EQ(fleet.config("/dev/timer"),
            (timer_sim::Config{Mode::Bistable, 5415s, 10s, 43320s, true}));
}

// The count at the end of a plan or an apply, one device or many.
TEST(Tally, SaysOneDeviceOrMany) {
  DeviceResult differs;
  differs.verdict = Verdict::Differs;
  EXPECT_EQ(Tally({differs}, CommandOf(Job::Plan)), "1 device: 0 unchanged, 1 differs, 0 failed");
  DeviceResult failed;
  failed.end = End::NoAnswer;
  EXPECT_EQ(Tally({failed, failed}, CommandOf(Job::Apply)),
            "2 devices: 0 unchanged, 0 programmed, 2 failed");
}

// Each exit code with its meaning, one line each: from the help's last
// section ("  3    the port ...", continued after seven blanks), or from the
// guide's table ("| 3 | the port ... |").
QMap<QString, QString> ExitCodes(const QString& text, bool table) {
  static const QRegularExpression helpRow(QStringLiteral("^  (\\d+) +(.*)$"));
  static const QRegularExpression tableRow(QStringLiteral("^\\| (\\d+) \\| (.*) \\|$"));
  QMap<QString, QString> codes;
  QString last;
  for (const QString& line : text.split(QLatin1Char('\n'))) {
    const QRegularExpressionMatch row = (table ? tableRow : helpRow).match(line);
    if (row.hasMatch()) codes[last = row.captured(1)] = row.captured(2);
    if (!table && !row.hasMatch() && line.startsWith(QLatin1String("       ")))
      codes[last] += QLatin1Char(' ') + line.trimmed();
  }
  return codes;
}

// The exit codes have one source: the guide says what --help (and with it
// the manual page) says.
TEST(ExitStatus, TheGuideSaysWhatTheHelpSays) {
  Fleet fleet;
  const QString help = RunIn(fleet, {"--help"}).out;
  QFile guide(QStringLiteral(TIMER_SOURCE_DIR "/docs/timerctl.md"));
  ASSERT_TRUE(guide.open(QIODevice::ReadOnly));
  const QMap<QString, QString> said = ExitCodes(help.mid(help.indexOf("Exit status:")), false);
  EXPECT_EQ(said.size(), 8);
  EXPECT_EQ(ExitCodes(QString::fromUtf8(guide.readAll()), true), said);
}

// Each shell's completion offers every command and every option timerctl
// reads.
TEST(Completion, OffersEveryCommandAndOption) {
  for (const char* script : {"timerctl.bash", "timerctl.zsh", "timerctl.fish"}) {
    QFile file(QStringLiteral(TIMER_SOURCE_DIR "/packaging/") + QLatin1String(script));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << script;
    const QString text = QString::fromUtf8(file.readAll());
    for (const Command& command : Commands())
      EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("\\b%1\\b").arg(command.name))))
          << script << " lacks " << command.name;
    for (const QString& option : OptionNames())
      EXPECT_TRUE(text.contains("--" + option) || text.contains("-l " + option))
          << script << " lacks --" << option.toStdString();
  }
}

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
  Fleet fleet;
  QTemporaryDir dir;
  const QString log = dir.filePath("record.jsonl");
  for (const char* op : {"read", "fire", "scan"})
    RunIn(fleet, {"--port", "1=/dev/timer", "--log", log, QString::fromLatin1(op)});
  RunIn(fleet, {"--device", "/dev/timer", "--log", log, "upload", "--mono", "00:00:09"});
  RunIn(fleet, {"--device", "/dev/timer", "--device", "/dev/missing", "--log", log, "read"});

  const std::vector<QJsonObject> lines = RecordLines(log);
  ASSERT_EQ(lines.size(), 7u);
  for (const QJsonObject& line : lines) EXPECT_EQ(line["version"], QStringLiteral(TIMER_VERSION));
  EXPECT_EQ(lines[0]["read_back"]["mono"], "01:30:15");
  EXPECT_EQ(lines[0]["com"], 1);
  EXPECT_EQ(lines[1]["operation"], "fire");
  EXPECT_EQ(lines[2]["result"], "timer");
  // Before the configuration goes out, what the device held and what is sent.
  EXPECT_EQ(lines[3]["result"], "sending");
  EXPECT_EQ(lines[3]["before"]["mono"], "01:30:15");
  EXPECT_EQ(lines[3]["sent"], lines[4]["sent"]);
  EXPECT_EQ(lines[4]["sent"]["mono"], "00:00:09");
  EXPECT_EQ(lines[4]["sent"]["mode"], "mono") << "the mode sent, given or not";
  EXPECT_EQ(lines[4]["read_back"]["mono"], "00:00:09") << "the verification's read-back";
  EXPECT_FALSE(lines[4].contains("com")) << "a --device has no Com number";
  const bool missingFirst = lines[5]["path"] == "/dev/missing";
  EXPECT_EQ(lines[missingFirst ? 5 : 6]["exit_code"], 3);
  EXPECT_EQ(lines[missingFirst ? 6 : 5]["result"], "ok");
}

struct StopCase {
  const char* name;
  QStringList args;
  int started;  // devices started before the signal came
  int code;
  // What the record holds of each device, in any order.
  QStringList results;
};

TIMER_NAMED_CASE(StopCase)

class Stopped : public ::testing::TestWithParam<StopCase> {};

// A signal stops new devices; those started finish and are recorded; the
// others get a line of their own, and the run ends with the signal's code.
TEST_P(Stopped, EveryDeviceHasItsLineAndTheRunTheSignalsCode) {
  const StopCase& c = GetParam();
  Fleet fleet;
  QTemporaryDir dir;
  const QString log = dir.filePath("record.jsonl");
  std::atomic<int> asked{0};
  const Ran ran = RunIn(fleet, QStringList{"--log", log} + c.args,
                        [&] { return ++asked > c.started ? SIGTERM : 0; });

  EXPECT_EQ(ran.code, c.code) << ran.err.toStdString();
  QStringList results;
  for (const QJsonObject& line : RecordLines(log)) results << line["result"].toString();
  results.sort();
  EXPECT_EQ(results, c.results);
  EXPECT_EQ((ran.out + ran.err).count("the run was stopped by SIGTERM before this device"),
            c.results.count("interrupted"));
}

struct KeptPlanCase {
  const char* name;
  int signal;       // that stops the run as it starts
  rlim_t fileSize;  // the most a file may hold
  int code;
  const char* err;  // part of it
};

TIMER_NAMED_CASE(KeptPlanCase)

class KeptPlan : public ::testing::TestWithParam<KeptPlanCase> {};

// A plan that is not whole is not kept: the plan kept before stays as it was.
TEST_P(KeptPlan, ReplacesTheOldOnlyWhenWhole) {
  const KeptPlanCase& c = GetParam();
  Fleet fleet;
  QTemporaryDir dir;
  QFile inventory(dir.filePath("plant.jsonl")), kept(dir.filePath("plan.jsonl"));
  ASSERT_TRUE(inventory.open(QIODevice::WriteOnly) &&
              inventory.write(R"({"device":"/dev/timer"})"));
  ASSERT_TRUE(kept.open(QIODevice::WriteOnly) && kept.write("kept before\n"));
  inventory.close();
  kept.close();
  rlimit unlimited{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &unlimited), 0);
  rlimit limited = unlimited;
  limited.rlim_cur = std::min(c.fileSize, unlimited.rlim_max);
  // A file grown past the limit fails with EFBIG, as on a full disk.
  const auto signalled = std::signal(SIGXFSZ, SIG_IGN);

  ::setrlimit(RLIMIT_FSIZE, &limited);
  const Ran ran = RunIn(fleet, {"plan", inventory.fileName(), "--out", kept.fileName()},
                        [&c] { return c.signal; });
  ::setrlimit(RLIMIT_FSIZE, &unlimited);
  std::signal(SIGXFSZ, signalled);

  EXPECT_EQ(ran.code, c.code);
  EXPECT_TRUE(ran.err.contains(QLatin1String(c.err))) << ran.err.toStdString();
  ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
  EXPECT_EQ(kept.readAll(), "kept before\n");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KeptPlan,
    ::testing::Values(KeptPlanCase{"StoppedHalfway", SIGINT, RLIM_INFINITY, 130,
                                   "not kept: the run was stopped by SIGINT"},
                      KeptPlanCase{"DiskFillsUp", 0, 64, 2, "plan.jsonl: File too large"}),
    kCaseName);

// Three devices that end alike, whichever starts first.
const QStringList kThreeSpares{"--device",    "/dev/spare", "--device", "/dev/timer", "--device",
                               "/dev/chatty", "upload",     "--on",     "00:00:11"};

INSTANTIATE_TEST_SUITE_P(
    Cases, Stopped,
    ::testing::Values(
        StopCase{
            "BeforeAnyDevice", kThreeSpares, 0, 143, {"interrupted", "interrupted", "interrupted"}},
        StopCase{
            "AfterTwo", kThreeSpares, 2, 143, {"interrupted", "ok", "ok", "sending", "sending"}},
        // The run's code stands above the devices'.
        StopCase{
            "AfterAll", kThreeSpares, 3, 143, {"ok", "ok", "ok", "sending", "sending", "sending"}},
        StopCase{"OneDevice", {"--device", "/dev/timer", "read"}, 0, 143, {"interrupted"}}),
    kCaseName);

int OpenDescriptors() {
  return static_cast<int>(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files).size());
}

// A fleet is served as widely as the system's hard limit lets it, and a
// device holds no more descriptors than the fleet counts for it.
TEST(Descriptors, AFleetTakesWhatTheSystemAllowsAndNoMore) {
  rlimit saved{}, raised{};
  ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
  rlimit low = saved;
  low.rlim_cur = std::min<rlim_t>(256, saved.rlim_max);
  ::setrlimit(RLIMIT_NOFILE, &low);
  RaiseDescriptorLimit();
  ::getrlimit(RLIMIT_NOFILE, &raised);
  ::setrlimit(RLIMIT_NOFILE, &saved);
  EXPECT_EQ(raised.rlim_cur, saved.rlim_max);

  const PtyDevices devices(1);
  const int before = OpenDescriptors();
  std::atomic<int> most{0};
  Request request;
  request.job = Job::Read;
  request.trace = [&](const QString&, const QString&) {
    most = std::max(most.load(), OpenDescriptors() - before);
  };
  EXPECT_EQ(RunOnDevices({DeviceTarget(devices.paths().front())}, request, RealLine)[0].code(),
            kExitOk);
  EXPECT_GT(most, 0);
  EXPECT_LE(most, kDescriptorsPerDevice);
}

}  // namespace
