// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/com_port.h"

ComPort::ComPort(const PortMap& map) : m_map(map), m_serial(map), m_network(map) {
  m_serial.setFailureHandler([this] { reportFailure(); });
  m_network.setFailureHandler([this] { reportFailure(); });
}

void ComPort::setPortMap(const PortMap& map) {
  m_map = map;
  m_serial.setPortMap(map);
  m_network.setPortMap(map);
}

void ComPort::followPorts(std::function<PortMap()> ports) {
  m_follow = std::move(ports);
  refresh();
}

void ComPort::refresh() {
  if (m_follow && !isOpen()) setPortMap(m_follow());
}

bool ComPort::setCommPort(qint16 number) {
  if (isOpen()) return false;
  refresh();  // settled at each link
  m_number = number;
  return m_serial.setCommPort(number) && m_network.setCommPort(number);
}

bool ComPort::setSettings(const LineSettings& settings) {
  return m_serial.setSettings(settings) && m_network.setSettings(settings);
}

bool ComPort::open() {
  if (isOpen()) return false;
  m_active = IsNetworkPath(m_map.path(m_number)) ? static_cast<SerialPort*>(&m_network)
                                                 : static_cast<SerialPort*>(&m_serial);
  return m_active->open();
}
