// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "sim/device.h"
#include "sim/settings.h"

namespace timer_sim {

using Clock = std::chrono::steady_clock;

// What goes back on the line, in order: bytes due at their time (an answer's
// byte, an echo), or a flood of filler sent as fast as the line takes it from
// its time on. `log` says what went out, on the last byte of an answer.
struct Outgoing {
  Clock::time_point due;
  std::string bytes;
  std::size_t flood = 0;
  std::string log;
};

// What the device made of bytes received together, and what it sends back.
struct Reaction {
  std::vector<Event> events;
  std::vector<Outgoing> out;
  bool hangUp = false;  // once `out` has gone, the line drops
};

// The device with every fault its settings ask for (silence, an echo,
// noise, a flood, pacing, a late or split answer, a hang-up, a failing or
// damaged memory), free of I/O: timer-sim's loop and the tests' in-process
// line both play a device through it, so that a fault is written once.
class Behaviour {
 public:
  explicit Behaviour(const Settings& settings);

  // Bytes that arrived at `now`. After a hang-up nothing more is taken.
  Reaction receive(std::string_view bytes, Clock::time_point now);
  const Device& device() const { return m_device; }

 private:
  void answer(const std::string& text, Clock::time_point now, Reaction& reaction);

  Settings m_settings;
  Device m_device;
  Clock::time_point m_wireFree{};
  int m_commands = 0;
  bool m_hungUp = false;
};

// Log text on one line whatever the client sends: others as \xNN.
std::string Printable(std::string_view text);

}  // namespace timer_sim
