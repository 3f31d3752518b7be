#pragma once

#include <QMap>
#include <QStringList>

#include "app/window_model.h"

// The window model without a window, for driving the handlers from a command
// line: controls hold their state, message boxes are kept as "title | text".
class HeadlessView : public WindowModel {
 public:
  HeadlessView();

  void setEnabled(Ctl control, bool enabled) override { m_enabled[control] = enabled; }
  void setCaption(Ctl control, const QString& caption) override { m_text[control] = caption; }
  QString text(Ctl control) const override { return m_text.value(control); }
  void setText(Ctl control, const QString& text) override { m_text[control] = text; }
  void setFocus(Ctl) override {}
  bool value(Ctl control) const override { return m_value.value(control); }
  void setValue(Ctl control, bool selected) override { m_value[control] = selected; }
  void addItem(Ctl control, const QString& entry) override { m_items[control] << entry; }
  void setListIndex(Ctl control, int position) override { m_index[control] = position; }
  int listIndex(Ctl control) const override { return m_index.value(control, -1); }
  void setStatusText(const QString& text) override { m_status = text; }
  void MsgBox(const QString& prompt, const QString& title, MsgIcon icon) override;
  void DoEvents() override;
  void Unload() override {}
  void EndProgram() override {}

  // Messages shown since the last call, oldest first.
  QStringList takeMessages();
  QString status() const { return m_status; }

 private:
  QMap<Ctl, bool> m_enabled;
  QMap<Ctl, QString> m_text;
  QMap<Ctl, bool> m_value;
  QMap<Ctl, QStringList> m_items;
  QMap<Ctl, int> m_index;
  QString m_status;
  QStringList m_messages;
};
