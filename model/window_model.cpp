// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/window_model.h"

const char* ControlName(Ctl control) {
  static constexpr const char* kNames[kControlCount] = {
      "Label1",   "horas",      "minutos",     "segundos",  "enviar",      "Conectar",
      "fire",     "Label2",     "Label4",      "label5",    "Command1",    "StatusBar1",
      "Label3",   "Label6",     "Combo1",      "Label7",    "Option1",     "Option2",
      "horas_on", "minutos_on", "segundos_on", "horas_off", "minutos_off", "segundos_off",
      "Label8",   "Label9",     "Label10",     "Label11",   "Label12",     "Label13",
      "Frame1",   "Option3",    "Option4",
  };
  return kNames[static_cast<int>(control)];
}
