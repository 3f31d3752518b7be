// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace timer_sim {

enum class Mode { Monostable, Bistable };

struct Config {
  Mode mode = Mode::Monostable;
  std::chrono::seconds mono{0};
  std::chrono::seconds on{0};
  std::chrono::seconds off{0};
  bool powerUpOn = true;

  bool operator==(const Config& other) const {
    return mode == other.mode && mono == other.mono && on == other.on && off == other.off &&
           powerUpOn == other.powerUpOn;
  }
};

constexpr char kProbeCommand = 'Y';
constexpr char kFireCommand = 'E';
constexpr char kMonostableLetter = 'T';
constexpr char kBistableLetter = 'S';
constexpr std::size_t kFrameLength = 20;
constexpr std::size_t kProbeAnswerLength = 20;

// "HH:MM:SS" with hours 0-99 and minutes/seconds 0-59.
std::optional<std::chrono::seconds> ParseHms(std::string_view text);
std::string FormatHms(std::chrono::seconds value);

// The 20 characters the device sends back for a probe.
std::string ProbeAnswer(const Config& config);

// A configuration frame as the device accepts it, e.g. "T1530010000000000001".
std::string Frame(const Config& config);
std::optional<Config> ParseFrame(std::string_view text);

struct Event {
  enum class Kind { Probe, Configure, Fire, Discarded, Ignored };
  Kind kind = Kind::Ignored;
  std::string text;    // the bytes as received
  std::string answer;  // empty when the device does not answer
};

// The byte-level state machine of the device.
class Device {
 public:
  explicit Device(const Config& config = {}) : m_config(config) {}

  // A device whose memory write fails: it acknowledges a configuration but
  // keeps the one it had.
  void setWriteFails(bool fails) { m_writeFails = fails; }
  // A device whose memory is damaged: it reads back these 19 characters (any
  // characters at all) until a configuration is written. Empty: its
  // configuration.
  void setMemory(std::string readBack) { m_memory = std::move(readBack); }

  // One received byte can finish a broken frame and start a new command, hence
  // up to two events.
  std::vector<Event> receive(char byte);
  const Config& config() const { return m_config; }

 private:
  void startCommand(char byte, std::vector<Event>& events);
  void finishFrame(std::vector<Event>& events);

  Config m_config;
  bool m_writeFails = false;
  std::string m_memory;
  std::string m_frame;  // non-empty while a frame is being collected
};

}  // namespace timer_sim
