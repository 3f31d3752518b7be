// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/options.h"

#include <limits>
#include <optional>
#include <utility>

#include <QCommandLineParser>
#include <QCoreApplication>

namespace timer_sim {
namespace {

constexpr int kMaxReplyDelayMs = 600'000;
constexpr int kMaxSplitSize = 1000;
constexpr int kMaxUsbLatencyMs = 255;  // what an adapter's latency timer takes

ParsedOptions Error(const QString& message) {
  ParsedOptions parsed;
  parsed.outcome = ParsedOptions::Outcome::Error;
  parsed.text = message.toStdString();
  return parsed;
}

bool parseTime(const QCommandLineParser& parser, const QString& name, std::chrono::seconds& out) {
  if (!parser.isSet(name)) return true;
  const auto value = ParseHms(parser.value(name).toStdString());
  if (!value) return false;
  out = *value;
  return true;
}

bool ParseCount(const QCommandLineParser& parser, const QString& name, int min, int max, int& out) {
  if (!parser.isSet(name)) return true;
  bool ok = false;
  const int value = parser.value(name).toInt(&ok);
  if (!ok || value < min || value > max) return false;
  out = value;
  return true;
}

// Every option but help and version, which the parser adds itself.
void DeclareOptions(QCommandLineParser& parser) {
  parser.setApplicationDescription(
      "Simulates the RS-232 timer device on a pseudo-terminal or a serial device.\n"
      "Prints the line's path as the first line, then one line per event.");
  parser.addOptions({
      {"mono", "Monostable time.", "HH:MM:SS"},
      {"on", "Bistable ON time.", "HH:MM:SS"},
      {"off", "Bistable OFF time.", "HH:MM:SS"},
      {"power-up", "Output state at power-up: on or off (default on).", "on|off"},
      {"mode", "Timer mode: mono or bi (default mono).", "mono|bi"},
      {"instant", "Send answers at once instead of at 2400 baud."},
      {"silent", "Never answer."},
      {"echo",
       "Send back every byte received before answering, as a loopback plug or an RS-485 "
       "converter with echo does."},
      {"write-fails",
       "Acknowledge configurations but keep the old one, as a device whose memory write "
       "failed does."},
      {"memory",
       "Read back these 19 characters until a configuration is written, as a device whose "
       "memory is damaged does (the times seconds first, then the power-up flag).",
       "CHARS"},
      {"reply-delay", "Wait MS milliseconds before each answer.", "MS"},
      {"split", "Send answers in pieces of N characters, 20 ms apart.", "N"},
      {"usb-latency",
       "Pass answers on only every MS milliseconds, as a USB adapter's latency timer does.", "MS"},
      {"noise", "Send TEXT before each answer.", "TEXT"},
      {"flood",
       "Send BYTES filler characters (x) as fast as the line takes them before each "
       "answer.",
       "BYTES"},
      {"hangup-after", "Drop the line like an unplugged adapter after the Nth command.", "N"},
      {"link", "Create symbolic link PATH to the pseudo-terminal.", "PATH"},
      {"device", "Use serial device PATH instead of a pseudo-terminal.", "PATH"},
  });
}

// The stored configuration: --mono, --on, --off, --power-up, --mode.
std::optional<ParsedOptions> parseConfig(const QCommandLineParser& parser, Config& config) {
  const std::pair<QString, std::chrono::seconds*> times[] = {
      {"mono", &config.mono}, {"on", &config.on}, {"off", &config.off}};
  for (const auto& [name, target] : times) {
    if (!parseTime(parser, name, *target)) {
      return Error(
          QString("Bad --%1 value, expected HH:MM:SS (hours 0-99, minutes and seconds 0-59): %2")
              .arg(name, parser.value(name)));
    }
  }
  if (parser.isSet("power-up")) {
    const QString value = parser.value("power-up");
    if (value != "on" && value != "off")
      return Error("Bad --power-up value, expected on or off: " + value);
    config.powerUpOn = value == "on";
  }
  if (parser.isSet("mode")) {
    const QString value = parser.value("mode");
    if (value != "mono" && value != "bi")
      return Error("Bad --mode value, expected mono or bi: " + value);
    config.mode = value == "bi" ? Mode::Bistable : Mode::Monostable;
  }
  return std::nullopt;
}

// How the simulated device misbehaves, and where its line is.
std::optional<ParsedOptions> parseFaults(const QCommandLineParser& parser, Settings& settings) {
  int delayMs = 0;
  int split = 0;
  if (!ParseCount(parser, "reply-delay", 0, kMaxReplyDelayMs, delayMs)) {
    return Error("Bad --reply-delay value, expected milliseconds: " + parser.value("reply-delay"));
  }
  if (!ParseCount(parser, "split", 1, kMaxSplitSize, split)) {
    return Error("Bad --split value, expected a positive count: " + parser.value("split"));
  }
  int latencyMs = 0;
  if (!ParseCount(parser, "usb-latency", 1, kMaxUsbLatencyMs, latencyMs)) {
    return Error("Bad --usb-latency value, expected 1 to 255 milliseconds: " +
                 parser.value("usb-latency"));
  }
  if (!ParseCount(parser, "hangup-after", 1, std::numeric_limits<int>::max(),
                  settings.hangupAfter)) {
    return Error("Bad --hangup-after value, expected a positive count: " +
                 parser.value("hangup-after"));
  }
  int flood = 0;
  if (!ParseCount(parser, "flood", 1, std::numeric_limits<int>::max(), flood)) {
    return Error("Bad --flood value, expected a positive count of bytes: " + parser.value("flood"));
  }
  if (parser.isSet("memory") && parser.value("memory").toLatin1().size() != 19)
    return Error("Bad --memory value, expected 19 characters: " + parser.value("memory"));
  if (parser.isSet("link") && parser.isSet("device"))
    return Error("--link only applies to the pseudo-terminal");

  settings.instant = parser.isSet("instant");
  settings.silent = parser.isSet("silent");
  settings.echo = parser.isSet("echo");
  settings.writeFails = parser.isSet("write-fails");
  settings.memory = parser.value("memory").toLatin1().toStdString();
  settings.replyDelay = std::chrono::milliseconds(delayMs);
  settings.splitSize = static_cast<std::size_t>(split);
  settings.usbLatency = std::chrono::milliseconds(latencyMs);
  settings.noise = parser.value("noise").toStdString();
  settings.flood = static_cast<std::size_t>(flood);
  settings.linkPath = parser.value("link").toStdString();
  settings.devicePath = parser.value("device").toStdString();
  return std::nullopt;
}

}  // namespace

ParsedOptions ParseOptions(const QStringList& arguments) {
  QCommandLineParser parser;
  const auto helpOption = parser.addHelpOption();
  const auto versionOption = parser.addVersionOption();
  DeclareOptions(parser);
  if (!parser.parse(arguments)) return Error(parser.errorText());
  if (parser.isSet(helpOption) || parser.isSet("help-all"))
    return {ParsedOptions::Outcome::Help, {}, parser.helpText().toStdString()};
  if (parser.isSet(versionOption)) {
    return {ParsedOptions::Outcome::Version,
            {},
            (QCoreApplication::applicationName() + ' ' + QCoreApplication::applicationVersion())
                .toStdString()};
  }
  if (!parser.positionalArguments().isEmpty()) {
    return Error("Unexpected argument: " + parser.positionalArguments().first());
  }

  Settings settings;
  if (auto failed = parseConfig(parser, settings.config)) return *failed;
  if (auto failed = parseFaults(parser, settings)) return *failed;
  return {ParsedOptions::Outcome::Run, settings, {}};
}

}  // namespace timer_sim
