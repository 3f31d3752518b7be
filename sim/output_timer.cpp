// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/output_timer.h"

namespace timer_sim {

void OutputTimer::fire(const Config& config, Clock::time_point now) {
  m_mode = config.mode;
  m_onTime = config.mode == Mode::Monostable ? config.mono : config.on;
  m_offTime = config.off;
  m_running = true;
  m_nextAt = now;
  m_nextOn = true;
}

std::optional<OutputTimer::Change> OutputTimer::stop(Clock::time_point now) {
  // The power-up state is left alone; only a fired period is cut short.
  if (!m_running) return std::nullopt;
  m_running = false;
  if (!m_on) return std::nullopt;
  m_on = false;
  return Change{now, false};
}

std::vector<OutputTimer::Change> OutputTimer::advance(Clock::time_point now) {
  std::vector<Change> changes;
  while (m_running && m_nextAt <= now) {
    m_on = m_nextOn;
    changes.push_back({m_nextAt, m_on});
    if (m_mode == Mode::Monostable) {
      m_running = m_on;
      m_nextAt += m_onTime;
      m_nextOn = false;
    } else if (m_onTime.count() == 0 && m_offTime.count() == 0) {
      // Nothing to alternate with: the output simply stays on.
      m_running = false;
    } else {
      m_nextAt += m_on ? m_onTime : m_offTime;
      m_nextOn = !m_on;
    }
  }
  return changes;
}

std::optional<OutputTimer::Clock::time_point> OutputTimer::nextChange() const {
  if (!m_running) return std::nullopt;
  return m_nextAt;
}

}  // namespace timer_sim
