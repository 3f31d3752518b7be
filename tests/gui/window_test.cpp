// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>

#include <memory>

#include "support/window_rig.h"

namespace {

struct ControlCase {
  const char* name;
  const char* className;
  const char* parent;
  const char* text;
  QRect pixels;  // twips / 15
  // "default" (the window's own: 8 pt, regular), or bold at this size, in
  // Arial, or in Arial Narrow where it says "narrow".
  const char* font;
};

// The window's inventory as the operator's reference gives it, converted to pixels.
const ControlCase kControls[] = {
    {"Label1", "QLabel", "Form1", "T I M E R", {16, 8, 57, 17}, "narrow 10.5"},
    {"horas", "QLineEdit", "Form1", "00", {32, 64, 25, 25}, "12"},
    {"minutos", "QLineEdit", "Form1", "00", {80, 64, 25, 25}, "12"},
    {"segundos", "QLineEdit", "Form1", "00", {128, 64, 25, 25}, "12"},
    {"enviar", "QPushButton", "Form1", "Enviar", {200, 128, 89, 33}, "default"},
    {"Conectar", "QPushButton", "Form1", "Conectar", {200, 80, 89, 33}, "default"},
    {"fire", "QPushButton", "Form1", "ACTIVAR", {200, 176, 89, 33}, "default"},
    {"Label2", "QLabel", "Form1", ":", {64, 64, 6, 19}, "12"},
    {"Label4", "QLabel", "Form1", ":", {112, 64, 6, 19}, "12"},
    {"label5", "QLabel", "Form1", "H", {40, 88, 17, 17}, "default"},
    {"Command1", "QPushButton", "Form1", "Salir", {200, 224, 89, 33}, "default"},
    {"StatusBar1", "QStatusBar", "Form1", "", {0, 287, 337, 17}, "default"},
    {"Label3", "QLabel", "Form1", "M", {88, 88, 17, 17}, "default"},
    {"Label6", "QLabel", "Form1", "S", {136, 88, 17, 17}, "default"},
    {"Combo1", "QComboBox", "Form1", "Com1", {200, 48, 89, 19}, "default"},
    {"Label7", "QLabel", "Form1", "Puerto de Com", {200, 24, 89, 17}, "default"},
    {"Option1", "QRadioButton", "Form1", "MONOESTABLE", {32, 40, 129, 17}, "default"},
    {"Option2", "QRadioButton", "Form1", "BIESTABLE", {32, 112, 113, 25}, "default"},
    {"horas_on", "QLineEdit", "Form1", "00", {32, 144, 25, 25}, "12"},
    {"minutos_on", "QLineEdit", "Form1", "00", {80, 144, 25, 25}, "12"},
    {"segundos_on", "QLineEdit", "Form1", "00", {128, 144, 25, 25}, "12"},
    {"horas_off", "QLineEdit", "Form1", "00", {32, 192, 25, 25}, "12"},
    {"minutos_off", "QLineEdit", "Form1", "00", {80, 192, 25, 25}, "12"},
    {"segundos_off", "QLineEdit", "Form1", "00", {128, 192, 25, 25}, "12"},
    {"Label8", "QLabel", "Form1", ":", {64, 144, 9, 17}, "12"},
    {"Label9", "QLabel", "Form1", ":", {112, 144, 9, 17}, "12"},
    {"Label10", "QLabel", "Form1", ":", {64, 192, 9, 17}, "12"},
    {"Label11", "QLabel", "Form1", ":", {112, 192, 9, 17}, "12"},
    {"Label12", "QLabel", "Form1", "ON", {160, 144, 25, 25}, "10.5"},
    {"Label13", "QLabel", "Form1", "OFF", {160, 192, 41, 33}, "10.5"},
    {"Frame1", "QGroupBox", "Form1", "AL INICIO", {32, 224, 113, 57}, "default"},
    {"Option3", "QRadioButton", "Frame1", "Encendido", {8, 16, 81, 17}, "default"},
    {"Option4", "QRadioButton", "Frame1", "Apagado", {8, 32, 73, 17}, "default"},
};

QString TextOf(QWidget* w) {
  if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
  if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
  if (auto* c = qobject_cast<QComboBox*>(w)) return c->currentText();
  if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
  return {};
}

TEST(Window, EveryControlHasItsNameKindContainerTextPlaceAndSize) {
  WindowRig rig;
  EXPECT_EQ(rig.window.windowTitle(), "Varnelta   - TIMER RS232 -");
  EXPECT_EQ(rig.window.size(), QSize(337, 304));
  EXPECT_EQ(rig.window.minimumSize(), rig.window.maximumSize()) << "fixed size";
  EXPECT_FALSE(rig.window.windowIcon().isNull());
  for (const ControlCase& c : kControls) {
    auto* w = rig.window.findChild<QWidget*>(QString::fromLatin1(c.name));
    ASSERT_NE(w, nullptr) << c.name;
    EXPECT_STREQ(w->metaObject()->className(), c.className) << c.name;
    EXPECT_EQ(w->parentWidget()->objectName(), c.parent) << c.name;
    EXPECT_EQ(TextOf(w), QString::fromUtf8(c.text)) << c.name;
    EXPECT_EQ(w->geometry(), c.pixels) << c.name;
    // Captions fit their controls, whatever the scale factor.
    int room = w->width();
    if (qobject_cast<QRadioButton*>(w)) room -= 20;  // the indicator
    if (qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w)) {
      EXPECT_LE(w->fontMetrics().horizontalAdvance(TextOf(w)), room) << c.name;
    }
  }
}

TEST(Window, FontsAreArialAndArialNarrowOrTheirMetricTwins) {
  WindowRig rig;
  for (const ControlCase& c : kControls) {
    auto* w = rig.window.findChild<QWidget*>(QString::fromLatin1(c.name));
    const QString font = QString::fromLatin1(c.font);
    const bool own = font != QLatin1String("default");
    const QFontInfo info(w->font());
    EXPECT_TRUE(info.family().contains(QLatin1String("Arial")) ||
                info.family().contains(QLatin1String("Liberation Sans")))
        << c.name << " " << info.family().toStdString();
    EXPECT_EQ(info.family().contains(QLatin1String("Narrow")),
              font.startsWith(QLatin1String("narrow")))
        << c.name << " " << info.family().toStdString();
    EXPECT_EQ(info.bold(), own) << c.name;
    EXPECT_DOUBLE_EQ(w->font().pointSizeF(),
                     own ? font.section(QLatin1Char(' '), -1).toDouble() : 8)
        << c.name;
    const QFontMetricsF unkerned(w->font());
    EXPECT_DOUBLE_EQ(unkerned.horizontalAdvance(QStringLiteral("AV")),
                     unkerned.horizontalAdvance(u'A') + unkerned.horizontalAdvance(u'V'))
        << c.name << ": unkerned";
  }
}

TEST(Window, StartsUnlinkedWithTheFocusOnConectar) {
  WindowRig rig;
  ASSERT_TRUE(Activate(rig.window));

  EXPECT_EQ(QApplication::focusWidget(), rig.window.control(Ctl::Conectar));
  EXPECT_EQ(rig.window.statusText(), "Desconectado");
  EXPECT_EQ(rig.window.button(Ctl::Conectar)->text(), "Conectar");
  for (Ctl c : {Ctl::enviar, Ctl::fire, Ctl::horas, Ctl::segundos_off, Ctl::Option1, Ctl::Option2,
                Ctl::Frame1})
    EXPECT_FALSE(rig.window.control(c)->isEnabled()) << ControlName(c);
  for (Ctl c : {Ctl::Conectar, Ctl::Command1, Ctl::Combo1})
    EXPECT_TRUE(rig.window.control(c)->isEnabled()) << ControlName(c);
  EXPECT_TRUE(rig.window.button(Ctl::Option3)->isChecked());
  EXPECT_FALSE(rig.window.button(Ctl::Option4)->isChecked());
  EXPECT_FALSE(rig.window.button(Ctl::Option1)->isChecked());
  EXPECT_FALSE(rig.window.button(Ctl::Option2)->isChecked());
  EXPECT_FALSE(rig.window.control(Ctl::Option3)->testAttribute(Qt::WA_ForceDisabled))
      << "its own state stays enabled";

  QComboBox* list = rig.window.portList();
  ASSERT_EQ(list->count(), 16);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(list->itemText(i), QStringLiteral("Com%1").arg(i + 1));
  EXPECT_EQ(list->currentText(), "Com1");
  EXPECT_EQ(rig.form.puert, 1);
}

TEST(Window, TabOrderFollowsTheInventory) {
  WindowRig rig;
  for (int i = 0; i < kControlCount; ++i) rig.window.setEnabled(static_cast<Ctl>(i), true);
  ASSERT_TRUE(Activate(rig.window));
  rig.window.control(Ctl::horas)->setFocus();

  // Each group of options is one tab stop: the arrow keys move within it.
  const QStringList expected = {
      "horas",     "minutos",     "segundos",     "enviar",   "Conectar",   "fire",
      "Command1",  "Combo1",      "Option1",      "horas_on", "minutos_on", "segundos_on",
      "horas_off", "minutos_off", "segundos_off", "Option3",  "horas"};
  QStringList visited;
  for (int i = 0; i < expected.size(); ++i) {
    QWidget* focus = QApplication::focusWidget();
    // An editable combo box hands its focus to its line edit.
    if (focus && qobject_cast<QComboBox*>(focus->parentWidget())) focus = focus->parentWidget();
    visited << (focus ? focus->objectName() : QStringLiteral("(none)"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  EXPECT_EQ(visited, expected);
}

TEST(Window, TypingAPortNameAndEnterLeavesThePortUnchanged) {
  WindowRig rig;
  rig.window.show();
  QComboBox* list = rig.window.portList();
  list->setFocus();
  list->lineEdit()->selectAll();
  QTest::keyClicks(list->lineEdit(), QStringLiteral("Com5"));
  QTest::keyClick(list->lineEdit(), Qt::Key_Return);
  QTest::keyClick(list, Qt::Key_Enter);

  EXPECT_EQ(rig.form.puert, 1);
  EXPECT_EQ(list->currentIndex(), 0);
  EXPECT_EQ(list->count(), 16) << "typed text must not become an entry";
}

TEST(Window, ChoosingAnEntryWithTheKeysRecordsItsPosition) {
  WindowRig rig;
  rig.window.show();
  PressOnPortList(rig.window, Qt::Key_Down, 15);
  EXPECT_EQ(rig.form.puert, 16);
  PressOnPortList(rig.window, Qt::Key_Up);
  EXPECT_EQ(rig.form.puert, 15);
}

TEST(Window, PowerUpOptionsCannotBeOperatedWhileTheFrameIsDisabled) {
  WindowRig rig;
  rig.window.show();
  Click(rig.window, Ctl::Option4);
  EXPECT_TRUE(rig.window.value(Ctl::Option3));
  EXPECT_FALSE(rig.window.value(Ctl::Option4));

  rig.window.setEnabled(Ctl::Frame1, true);
  Click(rig.window, Ctl::Option4);
  EXPECT_FALSE(rig.window.value(Ctl::Option3));
  EXPECT_TRUE(rig.window.value(Ctl::Option4));
}

TEST(Window, AnOptionCanBeClearedEvenWhenItIsTheSelectedOne) {
  WindowRig rig;
  rig.window.setValue(Ctl::Option3, false);
  rig.window.setValue(Ctl::Option4, true);
  EXPECT_FALSE(rig.window.value(Ctl::Option3));
  EXPECT_TRUE(rig.window.value(Ctl::Option4));
  rig.window.setValue(Ctl::Option3, true);
  EXPECT_FALSE(rig.window.value(Ctl::Option4)) << "the group stays exclusive";
}

TEST(Window, SalirWithThePortClosedEndsTheProgram) {
  WindowRig rig;
  rig.window.show();
  Click(rig.window, Ctl::Command1);
  EXPECT_TRUE(rig.form.m_unloaded);
  EXPECT_FALSE(rig.window.isVisible());
}

}  // namespace

namespace {

TEST(Window, SecondPanelShowsTheDeviceOfTheChosenComNumber) {
  PortMap map;
  map.set(1, QStringLiteral("/dev/null"));
  map.set(2, QStringLiteral("/dev/timer-missing-device"));
  WindowRig rig(map);
  EXPECT_EQ(rig.window.deviceText(), "Com1: /dev/null");

  const QStringList expected = {"Com2: /dev/timer-missing-device (no existe)",
                                "Com3: sin dispositivo"};
  for (const QString& text : expected) {
    PressOnPortList(rig.window, Qt::Key_Down);
    EXPECT_EQ(rig.window.deviceText(), text);
    EXPECT_EQ(rig.window.statusText(), "Desconectado") << "the first panel is the link's";
  }
}

}  // namespace
