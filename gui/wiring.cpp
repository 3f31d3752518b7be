// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/wiring.h"

#include <QAbstractButton>
#include <QComboBox>

#include <memory>

#include "gui/main_window.h"
#include "gui/port_texts.h"
#include "handlers/activation.h"
#include "handlers/connect.h"
#include "handlers/field_check.h"
#include "handlers/form.h"
#include "handlers/mode.h"
#include "handlers/port_selection.h"
#include "handlers/upload.h"
#include "link/port_map.h"
#include "link/serial_port.h"
#include "model/form1.h"
#include "model/texts.h"

namespace {

// The second panel when a port is not available: which one, and why, in
// words an operator acts on (the message box says only that it is not).
QString DescribeFault(int number, const QString& path, PortFault fault) {
  const QString com = PortEntry(number) + QStringLiteral(": ");
  if (path.isEmpty()) return com + FaultText(fault);
  return com + path + QStringLiteral(" · ") + FaultText(fault);
}

}  // namespace

void ConnectHandlers(MainWindow& window, Form1& f, const PortMap& ports) {
  Form1* form = &f;
  using Handler = void (*)(Form1&);
  using Exchange = Outcome (*)(Form1&);

  // The second panel names the device the chosen number reaches; when a port
  // is not available, it says why, until a port is chosen or a link made.
  // Naming a device asks the system about its ports, which takes a while:
  // a link renames it only when the panel shows a reason.
  auto showingReason = std::make_shared<bool>(false);
  const PortMap* map = &ports;
  auto showDevice = [&window, form, map, showingReason] {
    ShowChosenDevice(window, *form, *map);
    *showingReason = false;
  };
  auto showOutcome = [&window, form, map, showDevice, showingReason](const Outcome& outcome) {
    if (outcome.result == Result::PortUnavailable) {
      window.setDeviceText(DescribeFault(form->puert, map->path(form->puert), outcome.fault));
      *showingReason = true;
    } else if (outcome.result == Result::Done && form->Conecta == 0 && *showingReason) {
      showDevice();
    }
  };

  // The handlers have written their changes; the window keeps only the reason.
  const std::pair<Ctl, Exchange> exchanges[] = {
      {Ctl::Conectar, &Conectar_Click},
      {Ctl::enviar, &enviar_Click},
      {Ctl::fire, &fire_Click},
  };
  for (const auto& [control, handler] : exchanges) {
    QObject::connect(window.button(control), &QAbstractButton::clicked, &window,
                     [handler = handler, form, showOutcome] { showOutcome(handler(*form)); });
  }
  const std::pair<Ctl, Handler> clicks[] = {
      {Ctl::Command1, &Command1_Click},
      {Ctl::Option1, &Option1_Click},
      {Ctl::Option2, &Option2_Click},
  };
  for (const auto& [control, handler] : clicks) {
    QObject::connect(window.button(control), &QAbstractButton::clicked, &window,
                     [handler = handler, form] { handler(*form); });
  }
  f.Conexion.setFailureHandler([&window, form, showOutcome] {
    window.whenNoMessageIsOpen([form, showOutcome] { showOutcome(Conexion_OnComm(*form)); });
  });

  const std::pair<Ctl, Handler> leaves[] = {
      {Ctl::horas, &horas_LostFocus},
      {Ctl::minutos, &minutos_LostFocus},
      {Ctl::segundos, &segundos_LostFocus},
      {Ctl::horas_on, &horas_on_LostFocus},
      {Ctl::minutos_on, &minutos_on_LostFocus},
      {Ctl::segundos_on, &segundos_on_LostFocus},
      {Ctl::horas_off, &horas_off_LostFocus},
      {Ctl::minutos_off, &minutos_off_LostFocus},
      {Ctl::segundos_off, &segundos_off_LostFocus},
  };
  for (const auto& [control, handler] : leaves) {
    window.setLostFocusHandler(control, [handler = handler, form] { handler(*form); });
  }

  // Chosen with the mouse, the arrow keys or the wheel; never by typing.
  QObject::connect(window.portList(), qOverload<int>(&QComboBox::activated), &window,
                   [form, showDevice] {
                     Combo1_Click(*form);
                     showDevice();
                   });

  window.setUnloadHandler([form] { Form_Unload(*form); });
}

void ShowChosenDevice(MainWindow& window, const Form1& f, const PortMap& ports) {
  window.setDeviceText(DescribeComPort(f.puert, ports.path(f.puert)));
}
