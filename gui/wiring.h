// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

class MainWindow;
class PortMap;
struct Form1;

struct Outcome;

// What the program adds to the handlers, each optional.
struct WiringHooks {
  // Brings the port map up to date before a chosen port is shown.
  std::function<void()> refreshPorts;
  // Told how each exchange ended: "link" (Conectar), "upload", "fire", and
  // "line lost" (the line failed while linked).
  std::function<void(const char* exchange, const Outcome& outcome)> exchanged;
};

// Connects the window's widget events to the handlers; `ports`, which must
// outlive the window, tells the status bar which device each Com number
// reaches.
void ConnectHandlers(MainWindow& window, Form1& f, const PortMap& ports, WiringHooks hooks = {});

// Names in the status bar's second panel the device the chosen Com number
// reaches. Asks the system about its ports, which takes a moment.
void ShowChosenDevice(MainWindow& window, const Form1& f, const PortMap& ports);
