// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "device/messages.h"

// The window's controls, by name, in tab order (the enumerator's value is the
// control's tab index).
enum class Ctl {
  Label1,
  horas,
  minutos,
  segundos,
  enviar,
  Conectar,
  fire,
  Label2,
  Label4,
  label5,
  Command1,
  StatusBar1,
  Label3,
  Label6,
  Combo1,
  Label7,
  Option1,
  Option2,
  horas_on,
  minutos_on,
  segundos_on,
  horas_off,
  minutos_off,
  segundos_off,
  Label8,
  Label9,
  Label10,
  Label11,
  Label12,
  Label13,
  Frame1,
  Option3,
  Option4,
};

constexpr int kControlCount = static_cast<int>(Ctl::Option4) + 1;

const char* ControlName(Ctl control);

// The operations that the handlers use on the window. The Qt window implements
// it in the program; a recording view implements it in unit tests.
class WindowModel {
 public:
  virtual ~WindowModel() = default;

  virtual void setEnabled(Ctl control, bool enabled) = 0;
  virtual void setCaption(Ctl control, const QString& caption) = 0;
  virtual QString text(Ctl control) const = 0;
  virtual void setText(Ctl control, const QString& text) = 0;
  virtual void setFocus(Ctl control) = 0;
  virtual bool value(Ctl control) const = 0;
  virtual void setValue(Ctl control, bool selected) = 0;
  virtual void addItem(Ctl control, const QString& entry) = 0;
  virtual void setListIndex(Ctl control, int position) = 0;
  virtual int listIndex(Ctl control) const = 0;
  virtual void setStatusText(const QString& text) = 0;

  // Modal, one OK button; returns when the operator closes it.
  virtual void MsgBox(const QString& prompt, const QString& title, MsgIcon icon) = 0;
  // Runs every window event pending at the time of the call.
  virtual void DoEvents() = 0;
  // Closes the window; the window's unload handler runs from here.
  virtual void Unload() = 0;
  virtual void EndProgram() = 0;
};
