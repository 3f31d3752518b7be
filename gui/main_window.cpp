// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/main_window.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTimer>

#include <utility>

#include "gui/app_icon.h"
#include "model/texts.h"

namespace {

enum class Kind { Label, TextBox, Button, StatusBar, ComboBox, Option, Frame };
enum class Face { Default, NarrowBold105, Bold12, Bold105 };

struct ControlSpec {
  Ctl name;
  Kind kind;
  const char* text;
  int left, top, width, height;  // twips, in the container's client area
  Face face;
};

// In tab order; Option3 and Option4 sit inside Frame1, every other control on the window.
constexpr ControlSpec kInventory[] = {
    {Ctl::Label1, Kind::Label, "T I M E R", 240, 120, 852, 252, Face::NarrowBold105},
    {Ctl::horas, Kind::TextBox, "00", 480, 960, 372, 372, Face::Bold12},
    {Ctl::minutos, Kind::TextBox, "00", 1200, 960, 372, 372, Face::Bold12},
    {Ctl::segundos, Kind::TextBox, "00", 1920, 960, 372, 372, Face::Bold12},
    {Ctl::enviar, Kind::Button, "Enviar", 3000, 1920, 1332, 492, Face::Default},
    {Ctl::Conectar, Kind::Button, "Conectar", 3000, 1200, 1332, 492, Face::Default},
    {Ctl::fire, Kind::Button, "ACTIVAR", 3000, 2640, 1332, 492, Face::Default},
    {Ctl::Label2, Kind::Label, ":", 960, 960, 84, 288, Face::Bold12},
    {Ctl::Label4, Kind::Label, ":", 1680, 960, 84, 288, Face::Bold12},
    {Ctl::label5, Kind::Label, "H", 600, 1320, 252, 252, Face::Default},
    {Ctl::Command1, Kind::Button, "Salir", 3000, 3360, 1332, 492, Face::Default},
    {Ctl::StatusBar1, Kind::StatusBar, "", 0, 4305, 5055, 255, Face::Default},
    {Ctl::Label3, Kind::Label, "M", 1320, 1320, 252, 252, Face::Default},
    {Ctl::Label6, Kind::Label, "S", 2040, 1320, 252, 252, Face::Default},
    {Ctl::Combo1, Kind::ComboBox, "Puerto Com", 3000, 720, 1332, 288, Face::Default},
    {Ctl::Label7, Kind::Label, "Puerto de Com", 3000, 360, 1332, 252, Face::Default},
    {Ctl::Option1, Kind::Option, "MONOESTABLE", 480, 600, 1932, 252, Face::Default},
    {Ctl::Option2, Kind::Option, "BIESTABLE", 480, 1680, 1692, 372, Face::Default},
    {Ctl::horas_on, Kind::TextBox, "00", 480, 2160, 372, 372, Face::Bold12},
    {Ctl::minutos_on, Kind::TextBox, "00", 1200, 2160, 372, 372, Face::Bold12},
    {Ctl::segundos_on, Kind::TextBox, "00", 1920, 2160, 372, 372, Face::Bold12},
    {Ctl::horas_off, Kind::TextBox, "00", 480, 2880, 372, 372, Face::Bold12},
    {Ctl::minutos_off, Kind::TextBox, "00", 1200, 2880, 372, 372, Face::Bold12},
    {Ctl::segundos_off, Kind::TextBox, "00", 1920, 2880, 372, 372, Face::Bold12},
    {Ctl::Label8, Kind::Label, ":", 960, 2160, 132, 252, Face::Bold12},
    {Ctl::Label9, Kind::Label, ":", 1680, 2160, 132, 252, Face::Bold12},
    {Ctl::Label10, Kind::Label, ":", 960, 2880, 132, 252, Face::Bold12},
    {Ctl::Label11, Kind::Label, ":", 1680, 2880, 132, 252, Face::Bold12},
    {Ctl::Label12, Kind::Label, "ON", 2400, 2160, 372, 372, Face::Bold105},
    {Ctl::Label13, Kind::Label, "OFF", 2400, 2880, 612, 492, Face::Bold105},
    {Ctl::Frame1, Kind::Frame, "AL INICIO", 480, 3360, 1692, 852, Face::Default},
    {Ctl::Option3, Kind::Option, "Encendido", 120, 240, 1212, 252, Face::Default},
    {Ctl::Option4, Kind::Option, "Apagado", 120, 480, 1092, 252, Face::Default},
};

constexpr int kClientWidthTwips = 5055;
constexpr int kClientHeightTwips = 4560;
constexpr double kTwipsPerPixel = 15.0;

int Px(int twips) {
  return qRound(twips / kTwipsPerPixel);
}

// Installed under this name, as Qt looks a family up before it falls back
// (hasFamily() would also ask fontconfig for the name's aliases).
bool Installed(const QString& family) {
  return !QFontDatabase::styles(family).isEmpty();
}

// `family` where installed, else its metric-compatible `twin`. A family that
// is not installed is not asked for while its twin is: Qt would first have
// fontconfig sort every font by how well it stands in for the missing one.
QStringList FamilyOrTwin(const char* family, const char* twin) {
  const QString first = QString::fromLatin1(family);
  const QString second = QString::fromLatin1(twin);
  if (!Installed(first) && Installed(second)) return {second};
  return {first, second};
}

const QStringList& Arial() {
  static const QStringList families = FamilyOrTwin("Arial", "Liberation Sans");
  return families;
}

const QStringList& ArialNarrow() {
  static const QStringList families = FamilyOrTwin("Arial Narrow", "Liberation Sans Narrow");
  return families;
}

QFont FontFor(Face face) {
  QFont font;
  switch (face) {
    case Face::Default:
      return font;
    case Face::NarrowBold105:
      font.setFamilies(ArialNarrow());
      font.setPointSizeF(10.5);
      break;
    case Face::Bold12:
      font.setFamilies(Arial());
      font.setPointSizeF(12);
      break;
    case Face::Bold105:
      font.setFamilies(Arial());
      font.setPointSizeF(10.5);
      break;
  }
  font.setBold(true);
  return font;
}

// Screen readers get a name for the boxes, which have no caption of their own.
QString AccessibleNameOfBox(Ctl c) {
  switch (c) {
    case Ctl::horas:
      return QStringLiteral("Horas MONOESTABLE");
    case Ctl::minutos:
      return QStringLiteral("Minutos MONOESTABLE");
    case Ctl::segundos:
      return QStringLiteral("Segundos MONOESTABLE");
    case Ctl::horas_on:
      return QStringLiteral("Horas ON");
    case Ctl::minutos_on:
      return QStringLiteral("Minutos ON");
    case Ctl::segundos_on:
      return QStringLiteral("Segundos ON");
    case Ctl::horas_off:
      return QStringLiteral("Horas OFF");
    case Ctl::minutos_off:
      return QStringLiteral("Minutos OFF");
    case Ctl::segundos_off:
      return QStringLiteral("Segundos OFF");
    default:
      return {};
  }
}

QLineEdit* NewTimeBox(const ControlSpec& entry, QWidget* container) {
  // A box lays its text out as it is given, in the font it has then: given
  // after the box's own font, it is laid out once, and in no other face.
  auto* box = new QLineEdit(container);
  if (entry.face != Face::Default) box->setFont(FontFor(entry.face));
  box->setText(QString::fromUtf8(entry.text));
  box->setMaxLength(2);
  box->setAccessibleName(AccessibleNameOfBox(entry.name));
  return box;
}

QComboBox* NewPortList(const QString& text, QWidget* container) {
  auto* combo = new QComboBox(container);
  combo->setEditable(true);
  // Only choosing an entry selects a port: typed text is never inserted,
  // completed or matched to an entry.
  combo->setInsertPolicy(QComboBox::NoInsert);
  combo->setCompleter(nullptr);
  combo->setEditText(text);
  combo->setAccessibleName(QStringLiteral("Puerto de Com"));
  return combo;
}

// The status bar comes without its panels, which the window adds and keeps.
QWidget* NewControl(const ControlSpec& spec, QWidget* container) {
  const QString text = QString::fromUtf8(spec.text);
  switch (spec.kind) {
    case Kind::Label:
      return new QLabel(text, container);
    case Kind::TextBox:
      return NewTimeBox(spec, container);
    case Kind::Button:
      return new QPushButton(text, container);
    case Kind::StatusBar: {
      auto* bar = new QStatusBar(container);
      bar->setSizeGripEnabled(false);
      return bar;
    }
    case Kind::ComboBox:
      return NewPortList(text, container);
    case Kind::Option:
      return new QRadioButton(text, container);
    case Kind::Frame:
      return new QGroupBox(text, container);
  }
  return nullptr;
}

void Place(QWidget* widget, const ControlSpec& spec) {
  widget->setObjectName(QString::fromLatin1(ControlName(spec.name)));
  widget->setProperty("ctl", static_cast<int>(spec.name));
  widget->setGeometry(Px(spec.left), Px(spec.top), Px(spec.width), Px(spec.height));
  if (spec.face != Face::Default) widget->setFont(FontFor(spec.face));
}

bool IsEnterKey(QEvent* event) {
  if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride) return false;
  const int key = static_cast<QKeyEvent*>(event)->key();
  return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QString::fromUtf8(kWindowTitle));
  setWindowIcon(AppIcon());
  QFont base;
  base.setFamilies(Arial());
  base.setPointSizeF(8);
  // Letters at their own advances, unkerned: Latin text needs no shaping, and
  // without it no face's layout tables are read and kept.
  base.setStyleStrategy(QFont::PreferNoShaping);
  base.setKerning(false);
  setFont(base);
  setFixedSize(Px(kClientWidthTwips), Px(kClientHeightTwips));
  buildControls();
}

void MainWindow::buildControls() {
  QWidget* previous = nullptr;
  for (const ControlSpec& spec : kInventory) {
    const bool inFrame = spec.name == Ctl::Option3 || spec.name == Ctl::Option4;
    QWidget* widget = NewControl(spec, inFrame ? control(Ctl::Frame1) : this);
    if (spec.kind == Kind::StatusBar) addStatusPanels(static_cast<QStatusBar*>(widget));
    Place(widget, spec);
    m_controls[static_cast<int>(spec.name)] = widget;

    if (widget->focusPolicy() != Qt::NoFocus) {
      if (previous) QWidget::setTabOrder(previous, widget);
      previous = widget;
    }
  }
  // One group per container. Left to Qt's auto-exclusivity, the buttons of the
  // window and of the frame would take each other's tab stops.
  for (auto [first, second] :
       {std::pair{Ctl::Option1, Ctl::Option2}, std::pair{Ctl::Option3, Ctl::Option4}}) {
    auto* group = new QButtonGroup(this);
    group->addButton(button(first));
    group->addButton(button(second));
  }
  static_cast<QLabel*>(control(Ctl::Label7))->setBuddy(control(Ctl::Combo1));
  control(Ctl::Conectar)->setFocus();
  // Sees a click before the control under the mouse does, to hold back the
  // ones whose focus change a field check refused.
  qApp->installEventFilter(this);
}

void MainWindow::addStatusPanels(QStatusBar* bar) {
  m_statusPanel = new QLabel(bar);
  m_statusPanel->setObjectName(QStringLiteral("StatusBar1.Panel1"));
  bar->addWidget(m_statusPanel, 1);
  m_devicePanel = new QLabel(bar);
  m_devicePanel->setObjectName(QStringLiteral("StatusBar1.Panel2"));
  bar->addWidget(m_devicePanel, 3);
}

void MainWindow::setLostFocusHandler(Ctl box, std::function<void()> handler) {
  m_lostFocus[static_cast<int>(box)] = std::move(handler);
}

QAbstractButton* MainWindow::button(Ctl c) const {
  return qobject_cast<QAbstractButton*>(control(c));
}

QLineEdit* MainWindow::timeBox(Ctl c) const {
  return qobject_cast<QLineEdit*>(control(c));
}

QComboBox* MainWindow::portList() const {
  return qobject_cast<QComboBox*>(control(Ctl::Combo1));
}

QString MainWindow::statusText() const {
  return m_statusPanel->text();
}

void MainWindow::setEnabled(Ctl c, bool enabled) {
  QWidget* widget = control(c);
  if (!enabled && widget->hasFocus()) {
    widget->setEnabled(false);
    // Qt has moved the focus on; it comes back if the control is enabled
    // again before the operator puts it anywhere else, so that Space on
    // Conectar, pressed twice, links and unlinks rather than quits.
    m_focusLeft = widget;
    m_focusParkedOn = QApplication::focusWidget();
    return;
  }
  widget->setEnabled(enabled);
  if (enabled && widget == m_focusLeft) {
    if (QApplication::focusWidget() == m_focusParkedOn) widget->setFocus(Qt::OtherFocusReason);
    m_focusLeft = nullptr;
  }
}

void MainWindow::setCaption(Ctl c, const QString& caption) {
  if (auto* b = button(c)) b->setText(caption);
}

QString MainWindow::text(Ctl c) const {
  if (auto* box = timeBox(c)) return box->text();
  if (auto* b = button(c)) return b->text();
  if (auto* label = qobject_cast<QLabel*>(control(c))) return label->text();
  if (auto* combo = qobject_cast<QComboBox*>(control(c))) return combo->currentText();
  return {};
}

void MainWindow::setText(Ctl c, const QString& text) {
  if (auto* box = timeBox(c)) box->setText(text);
}

void MainWindow::setFocus(Ctl c) {
  // Qt ignores focus for a disabled widget, which is what a focus request on
  // a control that cannot take it should do.
  control(c)->setFocus(Qt::OtherFocusReason);
}

bool MainWindow::value(Ctl c) const {
  auto* b = button(c);
  return b && b->isChecked();
}

void MainWindow::setValue(Ctl c, bool selected) {
  auto* b = button(c);
  if (!b) return;
  if (selected || !b->isChecked()) {
    b->setChecked(selected);
    return;
  }
  // Qt refuses to clear the checked button of an exclusive group; a cleared
  // option is a state the window's options may be in, though.
  QButtonGroup* group = b->group();
  group->setExclusive(false);
  b->setChecked(false);
  group->setExclusive(true);
}

void MainWindow::addItem(Ctl c, const QString& entry) {
  if (auto* combo = qobject_cast<QComboBox*>(control(c))) combo->addItem(entry);
}

void MainWindow::setListIndex(Ctl c, int position) {
  if (auto* combo = qobject_cast<QComboBox*>(control(c))) combo->setCurrentIndex(position);
}

int MainWindow::listIndex(Ctl c) const {
  auto* combo = qobject_cast<QComboBox*>(control(c));
  return combo ? combo->currentIndex() : -1;
}

void MainWindow::setDeviceText(const QString& text) {
  m_devicePanel->setText(text);
  m_devicePanel->setToolTip(text);
}

QString MainWindow::deviceText() const {
  return m_devicePanel->text();
}

void MainWindow::setStatusText(const QString& text) {
  m_statusPanel->setText(text);
}

void MainWindow::MsgBox(const QString& prompt, const QString& title, MsgIcon icon) {
  if (m_unloaded) return;
  QMessageBox box(icon == MsgIcon::Error ? QMessageBox::Critical : QMessageBox::Information, title,
                  prompt, QMessageBox::Ok, this);
  ++m_openMessages;
  box.exec();
  --m_openMessages;
  if (m_openMessages == 0 && !m_afterMessages.empty()) {
    QTimer::singleShot(0, this, [this] {
      for (const auto& action : std::exchange(m_afterMessages, {})) action();
    });
  }
  // Take the activation back from the closed box ourselves rather than rely
  // on a window manager, so that a focus given back lands. Deferred: until the
  // box's own deactivation has gone through, the window counts as active.
  QTimer::singleShot(0, this, [this] {
    if (isVisible() && !isActiveWindow()) activateWindow();
  });
}

void MainWindow::whenNoMessageIsOpen(std::function<void()> action) {
  if (m_openMessages == 0) {
    action();
  } else {
    m_afterMessages.push_back(std::move(action));
  }
}

void MainWindow::DoEvents() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void MainWindow::Unload() {
  close();
}

// Ends the application's event loop (when it runs); waits that were
// suspended see the window unloaded and return without resuming their work.
void MainWindow::EndProgram() {
  QCoreApplication::quit();
}

void MainWindow::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  if (m_firstPainted) QTimer::singleShot(0, this, std::exchange(m_firstPainted, {}));
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // Closing is never refused; the unload handler runs once however often the
  // window is asked to close.
  if (!m_unloaded) {
    m_unloaded = true;
    if (m_unloadHandler) m_unloadHandler();
  }
  event->accept();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (isRefusedMouseEvent(watched, event)) return true;
  if (event->type() == QEvent::FocusOut) {
    if (auto* box = qobject_cast<QLineEdit*>(watched); box && box->parentWidget() == this) {
      return timeBoxLosesFocus(box, static_cast<QFocusEvent*>(event)->reason());
    }
  }
  // Enter in the port list's text field would select the entry matching the
  // typed text; typing must change only the shown text.
  const QWidget* list = control(Ctl::Combo1);
  if (IsEnterKey(event) && (watched == list || watched->parent() == list)) {
    event->accept();
    return event->type() == QEvent::KeyPress;
  }
  return QWidget::eventFilter(watched, event);
}

bool MainWindow::timeBoxLosesFocus(QLineEdit* box, Qt::FocusReason reason) {
  // Losing the focus to another application, to a popup or to the check's own
  // message box is not leaving the field: the check runs when the focus moves
  // to another control of this window, once per leave. A field that was
  // disabled while it had the focus is not checked.
  if (m_checking || reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason ||
      !box->isEnabled()) {
    return false;
  }
  const auto& handler = m_lostFocus[static_cast<int>(box->property("ctl").toInt())];
  if (!handler) return false;
  m_checking = true;
  handler();
  m_checking = false;
  if (reason == Qt::MouseFocusReason && focusWidget() == box) {
    m_refuseClick = true;
    // The click is delivered right after this focus change, within the same
    // event; anything later is a new click.
    QTimer::singleShot(0, this, [this] { m_refuseClick = false; });
  }
  return false;
}

bool MainWindow::isRefusedMouseEvent(QObject* watched, QEvent* event) const {
  if (!m_refuseClick) return false;
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::Wheel: {
      auto* widget = qobject_cast<QWidget*>(watched);
      return widget && isAncestorOf(widget);
    }
    default:
      return false;
  }
}
