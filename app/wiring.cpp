#include "app/wiring.h"

#include <QAbstractButton>
#include <QComboBox>

#include "app/main_window.h"
#include "handlers/activation.h"
#include "handlers/connect.h"
#include "handlers/field_check.h"
#include "handlers/form.h"
#include "handlers/mode.h"
#include "handlers/port_selection.h"
#include "handlers/upload.h"
#include "link/port_map.h"
#include "model/form1.h"

void ConnectHandlers(MainWindow& window, Form1& f, const PortMap& ports) {
  Form1* form = &f;
  using Handler = void (*)(Form1&);

  // The window has no use for an outcome: the handler wrote its changes.
  const std::pair<Ctl, Handler> clicks[] = {
      {Ctl::Conectar, [](Form1& form1) { Conectar_Click(form1); }},
      {Ctl::enviar, [](Form1& form1) { enviar_Click(form1); }},
      {Ctl::fire, [](Form1& form1) { fire_Click(form1); }},
      {Ctl::Command1, &Command1_Click},
      {Ctl::Option1, &Option1_Click},
      {Ctl::Option2, &Option2_Click},
  };
  for (const auto& [control, handler] : clicks) {
    QObject::connect(window.button(control), &QAbstractButton::clicked, &window,
                     [handler = handler, form] { handler(*form); });
  }

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
  auto showDevice = [&window, form, ports] {
    window.setDeviceText(DescribeComPort(form->puert, ports.path(form->puert)));
  };
  QObject::connect(window.portList(), qOverload<int>(&QComboBox::activated), &window,
                   [form, showDevice] {
                     Combo1_Click(*form);
                     showDevice();
                   });
  showDevice();

  window.setUnloadHandler([form] { Form_Unload(*form); });
}
