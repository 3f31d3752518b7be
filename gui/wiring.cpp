// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/wiring.h"

#include <QAbstractButton>
#include <QComboBox>

#include <memory>
#include <utility>

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
QString DescribeFault(int number, const QString& path, PortFault fault, const QString& detail) {
  const QString com = PortEntry(number) + QStringLiteral(": ");
  if (path.isEmpty()) return com + FaultText(fault, detail);
  return com + path + QStringLiteral(" · ") + FaultText(fault, detail);
}

using Handler = void (*)(Form1&);
using ExchangeHandler = Outcome (*)(Form1&);

// The handlers have written their changes; the window keeps only the reason.
struct ExchangeRow {
  Ctl control;
  ExchangeHandler handler;
  const char* name;
};
constexpr ExchangeRow kExchanges[] = {
    {Ctl::Conectar, &Conectar_Click, "link"},
    {Ctl::enviar, &enviar_Click, "upload"},
    {Ctl::fire, &fire_Click, "fire"},
};

constexpr std::pair<Ctl, Handler> kClicks[] = {
    {Ctl::Command1, &Command1_Click},
    {Ctl::Option1, &Option1_Click},
    {Ctl::Option2, &Option2_Click},
};

constexpr std::pair<Ctl, Handler> kLeaves[] = {
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

// The second panel names the device the chosen number reaches; when a port
// is not available, it says why, until a port is chosen or a link made. A
// chosen port is asked of the system again; a link has just asked, so the
// panel names what it found without asking again before the click returns.
class DevicePanel {
 public:
  DevicePanel(MainWindow& window, const Form1& f, const PortMap& ports, const Adapters& adapters,
              std::function<void()> refresh)
      : m_window(window),
        m_form(f),
        m_ports(ports),
        m_adapters(adapters),
        m_refresh(std::move(refresh)) {}

  void showChosen() {
    if (m_refresh) m_refresh();
    showDevice();
  }

  void showOutcome(const Outcome& outcome) {
    if (outcome.end() == End::PortUnavailable) {
      m_window.setDeviceText(DescribeFault(m_form.puert, m_ports.path(m_form.puert),
                                           outcome.reply.fault, m_form.Conexion.faultDetail()));
      m_showingReason = true;
    } else if (outcome.skipped == Skipped::No && outcome.reply.answered() && m_form.Conecta == 0 &&
               (m_showingReason || m_refresh)) {
      // What the number reaches may have changed since it was chosen.
      showDevice();
    }
  }

 private:
  void showDevice() {
    ShowChosenDevice(m_window, m_form, m_ports, m_adapters);
    m_showingReason = false;
  }

  MainWindow& m_window;
  const Form1& m_form;
  const PortMap& m_ports;
  const Adapters& m_adapters;
  std::function<void()> m_refresh;
  bool m_showingReason = false;
};

}  // namespace

void ConnectHandlers(MainWindow& window, Form1& f, const PortMap& ports, const Adapters& adapters,
                     WiringHooks hooks) {
  Form1* form = &f;
  auto panel =
      std::make_shared<DevicePanel>(window, f, ports, adapters, std::move(hooks.refreshPorts));
  const auto told = [exchanged = std::move(hooks.exchanged)](const char* name, const Outcome& o) {
    if (exchanged) exchanged(name, o);
  };
  for (const ExchangeRow& row : kExchanges) {
    QObject::connect(window.button(row.control), &QAbstractButton::clicked, &window,
                     [row, form, panel, told] {
                       const Outcome outcome = row.handler(*form);
                       panel->showOutcome(outcome);
                       told(row.name, outcome);
                     });
  }
  for (const auto& [control, handler] : kClicks) {
    QObject::connect(window.button(control), &QAbstractButton::clicked, &window,
                     [handler = handler, form] { handler(*form); });
  }
  f.Conexion.setFailureHandler([&window, form, panel, told] {
    window.whenNoMessageIsOpen([form, panel, told] {
      const Outcome outcome = Conexion_OnComm(*form);
      panel->showOutcome(outcome);
      if (!outcome.reply.answered()) told("line lost", outcome);
    });
  });
  for (const auto& [control, handler] : kLeaves) {
    window.setLostFocusHandler(control, [handler = handler, form] { handler(*form); });
  }

  // Chosen with the mouse, the arrow keys or the wheel; never by typing.
  QObject::connect(window.portList(), qOverload<int>(&QComboBox::activated), &window,
                   [form, panel] {
                     Combo1_Click(*form);
                     panel->showChosen();
                   });

  window.setUnloadHandler([form] { Form_Unload(*form); });
}

void ShowChosenDevice(MainWindow& window, const Form1& f, const PortMap& ports,
                      const Adapters& adapters) {
  // How a linked device server behind TLS is reached, and by whose certificate.
  const QString channel = f.Conecta == 0 ? f.Conexion.secureChannel() : QString();
  window.setDeviceText(DescribeComPort(f.puert, ports.path(f.puert), adapters, channel));
}
