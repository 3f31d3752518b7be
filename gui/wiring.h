// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

class MainWindow;
class PortMap;
struct Form1;

// Connects the window's widget events to the handlers; `ports`, which must
// outlive the window, tells the status bar which device each Com number
// reaches, and `refresh`, when given, brings it up to date before a chosen
// port is shown.
void ConnectHandlers(MainWindow& window, Form1& f, const PortMap& ports,
                     std::function<void()> refresh = {});

// Names in the status bar's second panel the device the chosen Com number
// reaches. Asks the system about its ports, which takes a moment.
void ShowChosenDevice(MainWindow& window, const Form1& f, const PortMap& ports);
