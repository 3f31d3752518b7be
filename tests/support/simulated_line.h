// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The simulator's device at the far end of a scripted line, in simulated
// time: timer-sim's own behaviour, every fault its settings ask for, each
// byte arriving when timer-sim would send it.

#include <QString>

#include <atomic>
#include <chrono>
#include <map>
#include <memory>

#include "cli/programmer.h"
#include "sim/behaviour.h"
#include "support/fakes.h"

class SimulatedLine : public ScriptedLine {
 public:
  // `simulated` outlives the line, as a device outlives a program's run; its
  // time goes on from `since`, where the last line left it.
  SimulatedLine(timer_sim::Behaviour& simulated, timer_sim::Clock::time_point& since)
      : m_device(simulated), m_since(since), m_start(since) {
    device.respond = [this](const QByteArray& sent) { return respond(sent); };
  }

 private:
  std::vector<Piece> respond(const QByteArray& sent) {
    const auto now = m_start + (time.now() - timer_sim::Clock::time_point{});
    const timer_sim::Reaction reaction = m_device.receive(sent.toStdString(), now);
    std::vector<Piece> pieces;
    for (const timer_sim::Outgoing& out : reaction.out) {
      const auto after = std::chrono::duration_cast<std::chrono::microseconds>(out.due - now);
      pieces.push_back({after, out.flood > 0 ? QByteArray(static_cast<qsizetype>(out.flood), 'x')
                                             : QByteArray::fromStdString(out.bytes)});
      m_since = std::max(m_since, out.due);
    }
    if (reaction.hangUp)
      device.breakLine((pieces.empty() ? std::chrono::microseconds{} : pieces.back().after) +
                       std::chrono::milliseconds(1));
    return pieces;
  }

  timer_sim::Behaviour& m_device;
  timer_sim::Clock::time_point& m_since;
  const timer_sim::Clock::time_point m_start;
};

// Simulated devices by path, for timerctl run in this process: each keeps
// its configuration from one run to the next; a path it does not know is
// missing.
class SimulatedFleet {
 public:
  void add(const QString& path, const timer_sim::Settings& settings = {}) {
    m_devices[path].device = std::make_unique<timer_sim::Behaviour>(settings);
  }
  const timer_sim::Config& config(const QString& path) {
    return m_devices[path].device->device().config();
  }
  int linesMade() const { return m_made; }

  LineMaker lines() {
    return [this](const Target& target, const Request&) -> std::unique_ptr<DeviceLine> {
      ++m_made;
      const auto found = m_devices.find(target.ports.path(target.number));
      std::unique_ptr<ScriptedLine> line;
      if (found == m_devices.end()) {
        line = std::make_unique<ScriptedLine>();
        line->device.missing = {target.number};
      } else {
        line = std::make_unique<SimulatedLine>(*found->second.device, found->second.since);
      }
      line->device.setCommPort(target.number);
      return line;
    };
  }

 private:
  struct Simulated {
    std::unique_ptr<timer_sim::Behaviour> device;
    timer_sim::Clock::time_point since{};
  };
  std::map<QString, Simulated> m_devices;
  std::atomic<int> m_made{0};
};
