// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>
#include <vector>

#include "model/window_model.h"

class QAbstractButton;
class QComboBox;
class QLabel;
class QLineEdit;
class QStatusBar;

// Form1 on Qt Widgets: every control of the inventory, at its place and size,
// named after it (objectName), reachable through the window model.
class MainWindow : public QWidget, public WindowModel {
  Q_OBJECT

 public:
  explicit MainWindow(QWidget* parent = nullptr);

  // Runs when the window is closed, whatever closes it.
  void setUnloadHandler(std::function<void()> handler) { m_unloadHandler = std::move(handler); }
  // Runs when the focus leaves the time box `box` for another control of the window.
  void setLostFocusHandler(Ctl box, std::function<void()> handler);

  QWidget* control(Ctl c) const { return m_controls[static_cast<int>(c)]; }
  QAbstractButton* button(Ctl c) const;
  QLineEdit* timeBox(Ctl c) const;
  QComboBox* portList() const;
  QString statusText() const;
  // The status bar's second panel: which device the chosen Com number reaches.
  void setDeviceText(const QString& text);
  // Runs `action` once the window has been painted for the first time.
  void whenFirstPainted(std::function<void()> action) { m_firstPainted = std::move(action); }
  // Runs `action` now, or once no message box is open any more: news from
  // the line waits until the operator has read what is on the screen.
  void whenNoMessageIsOpen(std::function<void()> action);
  QString deviceText() const;

  using QWidget::setEnabled;
  using QWidget::setFocus;

  // WindowModel
  void setEnabled(Ctl control, bool enabled) override;
  void setCaption(Ctl control, const QString& caption) override;
  QString text(Ctl control) const override;
  void setText(Ctl control, const QString& text) override;
  void setFocus(Ctl control) override;
  bool value(Ctl control) const override;
  void setValue(Ctl control, bool selected) override;
  void addItem(Ctl control, const QString& entry) override;
  void setListIndex(Ctl control, int position) override;
  int listIndex(Ctl control) const override;
  void setStatusText(const QString& text) override;
  void MsgBox(const QString& prompt, const QString& title, MsgIcon icon) override;
  void DoEvents() override;
  void Unload() override;
  void EndProgram() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildControls();
  void addStatusPanels(QStatusBar* bar);
  bool timeBoxLosesFocus(QLineEdit* box, Qt::FocusReason reason);
  bool isRefusedMouseEvent(QObject* watched, QEvent* event) const;

  std::array<QWidget*, kControlCount> m_controls{};
  QLabel* m_statusPanel = nullptr;
  QLabel* m_devicePanel = nullptr;
  std::function<void()> m_unloadHandler;
  bool m_unloaded = false;
  std::array<std::function<void()>, kControlCount> m_lostFocus{};
  // A field check is running: the focus changes it causes (the message box
  // taking and giving back the focus) are not leaves of a field.
  bool m_checking = false;
  // A click moved the focus out of a field whose check then took it back:
  // the click itself must not reach its control.
  bool m_refuseClick = false;
  std::function<void()> m_firstPainted;
  int m_openMessages = 0;
  std::vector<std::function<void()>> m_afterMessages;
  // The control that lost the focus by being disabled, and where Qt put it.
  QPointer<QWidget> m_focusLeft;
  QPointer<QWidget> m_focusParkedOn;
};
