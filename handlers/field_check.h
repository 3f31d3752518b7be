// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "device/timer_config.h"
#include "model/window_model.h"

struct Form1;
struct Message;

FieldKind KindOf(Ctl field);
const Message& RangeMessage(FieldKind kind);

// Checks one time field: an empty text becomes "00"; a text that is not a
// number in the field's range becomes "00", its range message is shown and the
// focus goes back to the field; a single digit is widened to two. Returns
// whether the text was accepted.
bool FieldCheck(Form1& f, Ctl field);

void horas_LostFocus(Form1& f);
void minutos_LostFocus(Form1& f);
void segundos_LostFocus(Form1& f);
void horas_on_LostFocus(Form1& f);
void minutos_on_LostFocus(Form1& f);
void segundos_on_LostFocus(Form1& f);
void horas_off_LostFocus(Form1& f);
void minutos_off_LostFocus(Form1& f);
void segundos_off_LostFocus(Form1& f);
