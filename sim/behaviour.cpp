// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/behaviour.h"

#include <algorithm>
#include <cstdio>

#include "sim/transmission.h"

namespace timer_sim {

Behaviour::Behaviour(const Settings& settings) : m_settings(settings), m_device(settings.config) {
  m_device.setWriteFails(settings.writeFails);
  m_device.setMemory(settings.memory);
}

Reaction Behaviour::receive(std::string_view bytes, Clock::time_point now) {
  Reaction reaction;
  if (m_hungUp) return reaction;
  // A converter with echo returns every byte as it passes, ahead of any answer.
  if (m_settings.echo)
    reaction.out.push_back({now, std::string(bytes), 0, "tx echo " + Printable(bytes)});
  for (const char byte : bytes) {
    for (Event& event : m_device.receive(byte)) {
      const bool command =
          event.kind != Event::Kind::Ignored && event.kind != Event::Kind::Discarded;
      if (command && !m_settings.silent) answer(m_settings.noise + event.answer, now, reaction);
      reaction.events.push_back(std::move(event));
      if (command && m_settings.hangupAfter > 0 && ++m_commands == m_settings.hangupAfter)
        m_hungUp = reaction.hangUp = true;
    }
    if (m_hungUp) break;
  }
  return reaction;
}

void Behaviour::answer(const std::string& text, Clock::time_point now, Reaction& reaction) {
  Pacing pacing;
  pacing.characterTime = m_settings.instant ? std::chrono::nanoseconds(0) : kCharacterTime;
  pacing.splitSize = m_settings.splitSize;
  pacing.latency = m_settings.usbLatency;
  // Answers never overlap on the wire.
  const auto start = std::max(now + m_settings.replyDelay, m_wireFree);
  if (m_settings.flood > 0)
    reaction.out.push_back(
        {start, {}, m_settings.flood, "tx flood " + std::to_string(m_settings.flood) + " bytes"});
  const std::vector<TimedByte> timed = Plan(text, start, pacing);
  if (timed.empty()) return;
  for (const TimedByte& byte : timed)
    reaction.out.push_back({byte.due, std::string(1, byte.byte), 0, {}});
  reaction.out.back().log = "tx " + Printable(text);
  m_wireFree = timed.back().due;
}

std::string Printable(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c >= 0x20 && c < 0x7f && c != '\\') {
      out += c;
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned char>(c));
      out += escaped;
    }
  }
  return out;
}

}  // namespace timer_sim
