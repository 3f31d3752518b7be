// SPDX-License-Identifier: GPL-3.0-or-later
#include "handlers/mode.h"

#include "model/form1.h"
#include "model/window_model.h"

namespace {

struct ModeRow {
  Ctl control;
  bool enabledInMonostable;  // bistable mode enables the opposite
};

// Written in this order by both handlers.
constexpr ModeRow kModeTable[] = {
    {Ctl::segundos, true},      {Ctl::minutos, true},      {Ctl::horas, true},
    {Ctl::segundos_on, false},  {Ctl::minutos_on, false},  {Ctl::horas_on, false},
    {Ctl::segundos_off, false}, {Ctl::minutos_off, false}, {Ctl::horas_off, false},
    {Ctl::Frame1, false},
};

}  // namespace

void Option1_Click(Form1& f) {
  for (const ModeRow& row : kModeTable) f.m_view.setEnabled(row.control, row.enabledInMonostable);
}

void Option2_Click(Form1& f) {
  for (const ModeRow& row : kModeTable) f.m_view.setEnabled(row.control, !row.enabledInMonostable);
}
