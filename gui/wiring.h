// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

class Adapters;
class MainWindow;
class PortMap;
struct Form1;

struct Outcome;

// What the program adds to the handlers, each optional.
struct WiringHooks {
  // Asks the system again about its ports, and brings the port map up to
  // date, before a chosen port is shown.
  std::function<void()> refreshPorts;
  // Told how each exchange ended: "link" (Conectar), "upload", "fire", and
  // "line lost" (the line failed while linked).
  std::function<void(const char* exchange, const Outcome& outcome)> exchanged;
};

// Connects the window's widget events to the handlers; `ports` and
// `adapters`, which must outlive the window, tell the status bar which device
// each Com number reaches, as the system last said.
void ConnectHandlers(MainWindow& window, Form1& f, const PortMap& ports, const Adapters& adapters,
                     WiringHooks hooks = {});

// Names in the status bar's second panel the device the chosen Com number
// reaches.
void ShowChosenDevice(MainWindow& window, const Form1& f, const PortMap& ports,
                      const Adapters& adapters);
