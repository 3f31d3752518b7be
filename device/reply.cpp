// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/reply.h"

#include "link/serial_port.h"

Text EndWord(End end) {
  switch (end) {
    case End::Answered:
      return Text(QT_TRANSLATE_NOOP("timer", "ok"));
    case End::NoAnswer:
      return Text(QT_TRANSLATE_NOOP("timer", "no answer"));
    case End::PortUnavailable:
      return Text(QT_TRANSLATE_NOOP("timer", "port unavailable"));
    case End::PortClosed:
      return Text(QT_TRANSLATE_NOOP("timer", "port closed"));
    case End::Unloaded:
      return Text(QT_TRANSLATE_NOOP("timer", "unloaded"));
    case End::Echo:
      return Text(QT_TRANSLATE_NOOP("timer", "echo"));
  }
  return {};
}

Reply Unavailable(const SerialPort& port, bool wasOpen, QByteArray bytes) {
  PortFault fault = port.fault();
  if (wasOpen && fault == PortFault::None) fault = PortFault::Unplugged;
  return {End::PortUnavailable, fault, port.errorText(), std::move(bytes)};
}
