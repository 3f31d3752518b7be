// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/fakes.h"
#include "support/window_rig.h"

// The real Qt window over a scripted device and simulated time: real focus,
// real clicks, and a protocol the test decides.
struct WidgetRig {
  WidgetRig() {
    ConnectHandlers(window, form, ports, adapters);
    Form_Load(form);
  }

  // Links to a device whose read-back is `readBack`.
  void link(const QByteArray& readBack = kZeroReadBack) {
    port.answers["Y"] = {{std::chrono::milliseconds(90), readBack}};
    Click(window, Ctl::Conectar);
  }

  SimClock clock;
  ScriptedPort port{clock};
  PortMap ports;
  Adapters adapters;
  MainWindow window;
  Form1 form{window, port, clock};
};
