// SPDX-License-Identifier: GPL-3.0-or-later
#include "handlers/field_check.h"

#include "model/form1.h"
#include "model/texts.h"

const Message& RangeMessage(FieldKind kind) {
  return kind == FieldKind::Hours ? kHoursRange : kMinutesSecondsRange;
}

FieldKind KindOf(Ctl field) {
  switch (field) {
    case Ctl::horas:
    case Ctl::horas_on:
    case Ctl::horas_off:
      return FieldKind::Hours;
    default:
      return FieldKind::MinutesSeconds;
  }
}

bool FieldCheck(Form1& f, Ctl field) {
  WindowModel& w = f.m_view;
  const FieldKind kind = KindOf(field);
  const QString text = w.text(field);
  bool accepted = true;
  if (text.isEmpty()) {
    w.setText(field, QString::fromLatin1(kZeroTime));
  } else if (!Accepts(kind, text)) {
    accepted = false;
    w.setText(field, QString::fromLatin1(kZeroTime));
    Show(w, RangeMessage(kind));
    w.setFocus(field);
  }
  const QString checked = w.text(field);
  if (checked.size() == 1) w.setText(field, QLatin1Char('0') + checked);
  return accepted;
}

void horas_LostFocus(Form1& f) {
  FieldCheck(f, Ctl::horas);
}
void minutos_LostFocus(Form1& f) {
  FieldCheck(f, Ctl::minutos);
}
void segundos_LostFocus(Form1& f) {
  FieldCheck(f, Ctl::segundos);
}
void horas_on_LostFocus(Form1& f) {
  FieldCheck(f, Ctl::horas_on);
}
void minutos_on_LostFocus(Form1& f) {
  FieldCheck(f, Ctl::minutos_on);
}
void segundos_on_LostFocus(Form1& f) {
  FieldCheck(f, Ctl::segundos_on);
}
void horas_off_LostFocus(Form1& f) {
  FieldCheck(f, Ctl::horas_off);
}
void minutos_off_LostFocus(Form1& f) {
  FieldCheck(f, Ctl::minutos_off);
}
void segundos_off_LostFocus(Form1& f) {
  FieldCheck(f, Ctl::segundos_off);
}
