// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/device.h"

#include <array>

namespace timer_sim {
namespace {

using std::chrono::seconds;

constexpr int kMaxHours = 99;
constexpr int kMaxMinutesOrSeconds = 59;
constexpr int kFieldCount = 9;
constexpr std::size_t kFlagIndex = 1 + 2 * kFieldCount;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsCommandLetter(char c) {
  return c == kProbeCommand || c == kFireCommand || c == kMonostableLetter || c == kBistableLetter;
}

// Seconds, minutes, hours of one time, the order the device uses on the wire.
std::array<int, 3> fieldsOf(seconds value) {
  const auto total = value.count();
  return {static_cast<int>(total % 60), static_cast<int>(total / 60 % 60),
          static_cast<int>(total / 3600)};
}

void AppendTwoDigits(std::string& out, int value) {
  out += static_cast<char>('0' + value / 10 % 10);
  out += static_cast<char>('0' + value % 10);
}

std::string FieldText(const Config& config) {
  std::string out;
  for (const seconds value : {config.mono, config.on, config.off}) {
    for (const int field : fieldsOf(value)) AppendTwoDigits(out, field);
  }
  out += config.powerUpOn ? '1' : '0';
  return out;
}

}  // namespace

std::optional<seconds> ParseHms(std::string_view text) {
  if (text.size() != 8 || text[2] != ':' || text[5] != ':') return std::nullopt;
  std::array<int, 3> parts{};  // hours, minutes, seconds
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const char tens = text[i * 3];
    const char units = text[i * 3 + 1];
    if (!IsDigit(tens) || !IsDigit(units)) return std::nullopt;
    parts[i] = (tens - '0') * 10 + (units - '0');
  }
  if (parts[0] > kMaxHours || parts[1] > kMaxMinutesOrSeconds || parts[2] > kMaxMinutesOrSeconds) {
    return std::nullopt;
  }
  return std::chrono::hours(parts[0]) + std::chrono::minutes(parts[1]) + seconds(parts[2]);
}

std::string FormatHms(seconds value) {
  const auto fields = fieldsOf(value);
  std::string out;
  AppendTwoDigits(out, fields[2]);
  out += ':';
  AppendTwoDigits(out, fields[1]);
  out += ':';
  AppendTwoDigits(out, fields[0]);
  return out;
}

std::string ProbeAnswer(const Config& config) {
  return FieldText(config) + kProbeCommand;
}

std::string Frame(const Config& config) {
  const char letter = config.mode == Mode::Bistable ? kBistableLetter : kMonostableLetter;
  return letter + FieldText(config);
}

std::optional<Config> ParseFrame(std::string_view text) {
  if (text.size() != kFrameLength) return std::nullopt;
  Config config;
  if (text[0] == kMonostableLetter) {
    config.mode = Mode::Monostable;
  } else if (text[0] == kBistableLetter) {
    config.mode = Mode::Bistable;
  } else {
    return std::nullopt;
  }
  std::array<int, kFieldCount> fields{};
  for (int i = 0; i < kFieldCount; ++i) {
    const char tens = text[1 + 2 * i];
    const char units = text[2 + 2 * i];
    if (!IsDigit(tens) || !IsDigit(units)) return std::nullopt;
    fields[i] = (tens - '0') * 10 + (units - '0');
    const bool isHours = i % 3 == 2;
    if (!isHours && fields[i] > kMaxMinutesOrSeconds) return std::nullopt;
  }
  const char flag = text[kFlagIndex];
  if (flag != '0' && flag != '1') return std::nullopt;

  auto timeAt = [&fields](std::size_t group) {
    return seconds(fields[group * 3]) + std::chrono::minutes(fields[group * 3 + 1]) +
           std::chrono::hours(fields[group * 3 + 2]);
  };
  config.mono = timeAt(0);
  config.on = timeAt(1);
  config.off = timeAt(2);
  config.powerUpOn = flag == '1';
  return config;
}

std::vector<Event> Device::receive(char byte) {
  std::vector<Event> events;
  if (m_frame.empty()) {
    if (IsCommandLetter(byte)) {
      startCommand(byte, events);
    } else {
      events.push_back({Event::Kind::Ignored, std::string(1, byte), {}});
    }
    return events;
  }
  // Frames carry only digits, so a command letter always means the frame was cut short.
  if (IsCommandLetter(byte)) {
    events.push_back({Event::Kind::Discarded, m_frame, {}});
    m_frame.clear();
    startCommand(byte, events);
    return events;
  }
  m_frame += byte;
  if (m_frame.size() == kFrameLength) finishFrame(events);
  return events;
}

void Device::startCommand(char byte, std::vector<Event>& events) {
  switch (byte) {
    case kProbeCommand:
      events.push_back({Event::Kind::Probe, std::string(1, byte),
                        m_memory.empty() ? ProbeAnswer(m_config) : m_memory + kProbeCommand});
      break;
    case kFireCommand:
      events.push_back({Event::Kind::Fire, std::string(1, byte), std::string(1, kFireCommand)});
      break;
    default:
      m_frame = std::string(1, byte);
      break;
  }
}

void Device::finishFrame(std::vector<Event>& events) {
  if (const auto config = ParseFrame(m_frame)) {
    if (!m_writeFails) {
      m_config = *config;
      m_memory.clear();
    }
    events.push_back({Event::Kind::Configure, m_frame, std::string(1, m_frame[0])});
  } else {
    events.push_back({Event::Kind::Discarded, m_frame, {}});
  }
  m_frame.clear();
}

}  // namespace timer_sim
