// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The simulator's device at the far end of a scripted line, in simulated
// time: it answers what timer-sim would with the same settings (silent,
// echoing, a failing memory, noise, a hang-up), each answer a read-back's time
// on the wire after its command.

#include <QString>

#include <atomic>
#include <chrono>
#include <map>
#include <memory>

#include "cli/programmer.h"
#include "sim/device.h"
#include "sim/options.h"
#include "support/fakes.h"

class SimulatedLine : public ScriptedLine {
 public:
  static constexpr std::chrono::milliseconds kAnswerTime{90};

  // `simulated` outlives the line, as a device outlives a program's run.
  SimulatedLine(const timer_sim::Settings& settings, timer_sim::Device& simulated)
      : m_settings(settings), m_device(simulated) {
    device.respond = [this](const QByteArray& sent) { return respond(sent); };
  }

 private:
  std::vector<Piece> respond(const QByteArray& sent) {
    std::vector<Piece> pieces;
    if (m_settings.echo) pieces.push_back({std::chrono::milliseconds(1), sent});
    for (const char byte : sent) {
      for (const timer_sim::Event& event : m_device.receive(byte)) {
        if (event.kind == timer_sim::Event::Kind::Discarded ||
            event.kind == timer_sim::Event::Kind::Ignored)
          continue;
        if (!m_settings.silent)
          pieces.push_back(
              {kAnswerTime, QByteArray::fromStdString(m_settings.noise + event.answer)});
        if (++m_commands == m_settings.hangupAfter)
          device.breakLine(kAnswerTime + std::chrono::milliseconds(1));
      }
    }
    return pieces;
  }

  timer_sim::Settings m_settings;
  timer_sim::Device& m_device;
  int m_commands = 0;
};

// Simulated devices by path, for timerctl run in this process: each keeps
// its configuration from one run to the next; a path it does not know is
// missing.
class SimulatedFleet {
 public:
  void add(const QString& path, const timer_sim::Settings& settings = {}) {
    Simulated& added = m_devices[path];
    added.settings = settings;
    added.device = std::make_unique<timer_sim::Device>(settings.config);
    added.device->setWriteFails(settings.writeFails);
    added.device->setMemory(settings.memory);
  }
  const timer_sim::Config& config(const QString& path) { return m_devices[path].device->config(); }
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
        line = std::make_unique<SimulatedLine>(found->second.settings, *found->second.device);
      }
      line->device.setCommPort(target.number);
      return line;
    };
  }

 private:
  struct Simulated {
    timer_sim::Settings settings;
    std::unique_ptr<timer_sim::Device> device;
  };
  std::map<QString, Simulated> m_devices;
  std::atomic<int> m_made{0};
};
