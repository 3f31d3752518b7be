#include "app/wiring.h"

#include <QAbstractButton>
#include <QComboBox>

#include "app/form.h"
#include "app/form1.h"
#include "app/main_window.h"
#include "commands/activation.h"
#include "commands/upload.h"
#include "link/handshake.h"
#include "link/port_map.h"
#include "link/port_selection.h"
#include "settings/field_check.h"
#include "settings/mode.h"

void ConnectHandlers(MainWindow& window, Form1& f, const PortMap& ports) {
  Form1* form = &f;
  using Handler = void (*)(Form1&);

  const std::pair<Ctl, Handler> clicks[] = {
      {Ctl::Conectar, &Conectar_Click}, {Ctl::enviar, &enviar_Click},
      {Ctl::fire, &fire_Click},         {Ctl::Command1, &Command1_Click},
      {Ctl::Option1, &Option1_Click},   {Ctl::Option2, &Option2_Click},
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
