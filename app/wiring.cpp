#include "app/wiring.h"

#include <QAbstractButton>
#include <QComboBox>

#include "app/form.h"
#include "app/form1.h"
#include "app/main_window.h"
#include "link/handshake.h"
#include "link/port_selection.h"

void ConnectHandlers(MainWindow& window, Form1& f) {
  Form1* form = &f;
  auto onClick = [&window](Ctl c, void (*handler)(Form1&), Form1* target) {
    QObject::connect(window.button(c), &QAbstractButton::clicked, &window,
                     [handler, target] { handler(*target); });
  };
  onClick(Ctl::Conectar, &Conectar_Click, form);
  onClick(Ctl::Command1, &Command1_Click, form);

  // Chosen with the mouse, the arrow keys or the wheel; never by typing.
  QObject::connect(window.portList(), qOverload<int>(&QComboBox::activated), &window,
                   [form] { Combo1_Click(*form); });

  window.setUnloadHandler([form] { Form_Unload(*form); });
}
