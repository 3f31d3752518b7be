// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QMap>
#include <QString>

#include "model/window_model.h"

// The window model without a window, for driving the handlers from a command
// line: controls hold their texts and values, message boxes are kept.
class HeadlessView : public WindowModel {
 public:
  struct Shown {
    QString prompt;
    QString title;
    MsgIcon icon = MsgIcon::Error;
  };

  HeadlessView();

  void setEnabled(Ctl, bool) override {}
  void setCaption(Ctl control, const QString& caption) override { m_text[control] = caption; }
  QString text(Ctl control) const override { return m_text.value(control); }
  void setText(Ctl control, const QString& text) override { m_text[control] = text; }
  void setFocus(Ctl) override {}
  bool value(Ctl control) const override { return m_value.value(control); }
  void setValue(Ctl control, bool selected) override { m_value[control] = selected; }
  void addItem(Ctl, const QString&) override {}
  void setListIndex(Ctl control, int position) override { m_index[control] = position; }
  int listIndex(Ctl control) const override { return m_index.value(control, -1); }
  void setStatusText(const QString&) override {}
  void MsgBox(const QString& prompt, const QString& title, MsgIcon icon) override;
  void DoEvents() override;
  void Unload() override {}
  void EndProgram() override {}

  // Messages shown since the last call, oldest first.
  QList<Shown> takeMessages();

 private:
  QMap<Ctl, QString> m_text;
  QMap<Ctl, bool> m_value;
  QMap<Ctl, int> m_index;
  QList<Shown> m_messages;
};
