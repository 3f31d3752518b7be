// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>

#include "handlers/connect.h"
#include "support/message_boxes.h"
#include "support/widget_rig.h"

namespace {

class Focus : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Activate(rig.window));
    rig.link();
    ASSERT_EQ(rig.window.statusText(), "Conectado");
    rig.port.sent.clear();
  }
  QWidget* control(Ctl c) { return rig.window.control(c); }
  // The window takes the focus back once a message box has closed; Qt does
  // that asynchronously.
  QWidget* Focused() {
    EXPECT_TRUE(QTest::qWaitForWindowActive(&rig.window));
    return QApplication::focusWidget();
  }

  WidgetRig rig;
  MessageBoxCloser boxes;
};

TEST_F(Focus, TabbingChecksEachFieldItLeavesAndStopsAtAFailure) {
  Type(rig.window, Ctl::horas, "7");
  rig.window.timeBox(Ctl::minutos)->setText("60");
  rig.window.timeBox(Ctl::segundos)->setText("5");

  QTest::keyClick(Focused(), Qt::Key_Tab);
  EXPECT_EQ(rig.window.text(Ctl::horas), "07");
  EXPECT_EQ(Focused(), control(Ctl::minutos));

  QTest::keyClick(Focused(), Qt::Key_Tab);
  EXPECT_EQ(rig.window.text(Ctl::minutos), "00");
  EXPECT_EQ(boxes.seen, QStringList{Box(kMinutesSecondsRange)});
  EXPECT_EQ(Focused(), control(Ctl::minutos)) << "the failure stops the tabbing";

  QTest::keyClick(Focused(), Qt::Key_Tab);
  QTest::keyClick(Focused(), Qt::Key_Tab);
  EXPECT_EQ(rig.window.text(Ctl::segundos), "05");
  EXPECT_EQ(boxes.seen.size(), 1) << "leaving a field that holds 00 shows nothing";
}

TEST_F(Focus, ClickingEnviarFromAFieldHolding7Sends07) {
  Type(rig.window, Ctl::horas, "7");
  rig.port.answers["T0000070000000000001"] = {{std::chrono::milliseconds(5), "T"}};

  Click(rig.window, Ctl::enviar);

  EXPECT_EQ(rig.port.sent, "T0000070000000000001");
  EXPECT_EQ(rig.window.text(Ctl::horas), "07");
}

TEST_F(Focus, AClickWhoseFocusChangeFailsTheCheckDoesNotRun) {
  for (Ctl target : {Ctl::enviar, Ctl::fire, Ctl::Option2, Ctl::Command1}) {
    boxes.seen.clear();
    Type(rig.window, Ctl::segundos, "60");

    Click(rig.window, target);

    SCOPED_TRACE(ControlName(target));
    EXPECT_EQ(boxes.seen, QStringList{Box(kMinutesSecondsRange)});
    EXPECT_EQ(rig.window.text(Ctl::segundos), "00");
    EXPECT_EQ(Focused(), control(Ctl::segundos));
    EXPECT_FALSE(rig.window.button(target)->isDown()) << "no button is left drawn pressed";
    EXPECT_TRUE(rig.port.sent.isEmpty());
    EXPECT_TRUE(rig.window.value(Ctl::Option1));
    EXPECT_FALSE(rig.window.value(Ctl::Option2));
    EXPECT_TRUE(control(Ctl::segundos)->isEnabled());
    EXPECT_TRUE(rig.window.isVisible());
  }
}

TEST_F(Focus, BiestableFromAMonostableFieldWidensItBeforeDisablingIt) {
  Type(rig.window, Ctl::minutos, "7");

  Click(rig.window, Ctl::Option2);

  EXPECT_EQ(rig.window.text(Ctl::minutos), "07");
  EXPECT_TRUE(rig.window.value(Ctl::Option2));
  EXPECT_FALSE(control(Ctl::minutos)->isEnabled());
  EXPECT_TRUE(control(Ctl::minutos_on)->isEnabled());
  EXPECT_TRUE(control(Ctl::Frame1)->isEnabled());
  EXPECT_TRUE(boxes.seen.isEmpty());
}

TEST_F(Focus, SwitchingModesKeepsEveryText) {
  const Ctl all[] = {Ctl::horas,     Ctl::minutos,     Ctl::segundos,
                     Ctl::horas_on,  Ctl::minutos_on,  Ctl::segundos_on,
                     Ctl::horas_off, Ctl::minutos_off, Ctl::segundos_off};
  int n = 10;
  for (Ctl field : all) rig.window.setText(field, QString::number(n++));
  for (int i = 0; i < 2; ++i) {
    Click(rig.window, Ctl::Option2);
    Click(rig.window, Ctl::Option1);
  }
  n = 10;
  for (Ctl field : all)
    EXPECT_EQ(rig.window.text(field), QString::number(n++)) << ControlName(field);
}

TEST_F(Focus, AfterAPortChangeWhileLinkedMonoestableStillWorks) {
  Click(rig.window, Ctl::Option2);
  PressOnPortList(rig.window, Qt::Key_Down);
  ASSERT_EQ(rig.window.statusText(), "Desconectado");
  ASSERT_TRUE(control(Ctl::horas_on)->isEnabled());

  Click(rig.window, Ctl::Option1);

  EXPECT_TRUE(control(Ctl::horas)->isEnabled());
  EXPECT_FALSE(control(Ctl::horas_on)->isEnabled());
  EXPECT_FALSE(control(Ctl::Frame1)->isEnabled());
}

TEST_F(Focus, ChoosingTheChosenEntryAgainWhileLinkedDropsTheLink) {
  QComboBox* list = rig.window.portList();
  list->showPopup();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(list->view()->window()));

  QTest::keyClick(list->view(), Qt::Key_Return);

  EXPECT_EQ(rig.window.statusText(), "Desconectado");
  EXPECT_FALSE(rig.port.isOpen());
  EXPECT_EQ(rig.form.puert, 1);
}

TEST_F(Focus, AFocusedFieldThatAHandlerDisablesIsNotChecked) {
  Type(rig.window, Ctl::minutos, "75");

  Conectar_Click(rig.form);  // unlinks: every field is disabled, the focused one too
  QTest::qWait(50);

  EXPECT_FALSE(control(Ctl::minutos)->isEnabled());
  EXPECT_EQ(rig.window.text(Ctl::minutos), "75");
  EXPECT_TRUE(boxes.seen.isEmpty());
}

TEST_F(Focus, AThirdCharacterCanBeNeitherTypedNorPasted) {
  Type(rig.window, Ctl::horas, "123");
  EXPECT_EQ(rig.window.text(Ctl::horas), "12");
  QGuiApplication::clipboard()->setText(QStringLiteral("456"));
  QLineEdit* box = rig.window.timeBox(Ctl::minutos);
  box->setFocus();
  box->selectAll();
  box->paste();
  EXPECT_LE(box->text().size(), 2);
  box->setText(QStringLiteral("4"));
  box->end(false);
  box->paste();
  EXPECT_EQ(box->text(), "44") << "only what fits is pasted";
}

TEST_F(Focus, AValueFromTheReadBackStaysUntilTheFieldIsEnteredAndLeft) {
  Click(rig.window, Ctl::Conectar);  // disconnect
  rig.link("Y");
  ASSERT_EQ(rig.window.text(Ctl::segundos), "Y");
  Click(rig.window, Ctl::Option1);
  EXPECT_EQ(rig.window.text(Ctl::segundos), "Y") << "leaving another control checks nothing";

  QTest::mouseClick(rig.window.timeBox(Ctl::segundos), Qt::LeftButton);
  QTest::keyClick(Focused(), Qt::Key_Tab);
  EXPECT_EQ(rig.window.text(Ctl::segundos), "00");
  EXPECT_EQ(boxes.seen.size(), 1);
}

TEST_F(Focus, LosingTheWindowToAnotherOneChecksNothingUntilAControlIsChosen) {
  Type(rig.window, Ctl::minutos, "75");
  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  EXPECT_TRUE(boxes.seen.isEmpty());
  EXPECT_EQ(rig.window.text(Ctl::minutos), "75");

  rig.window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&rig.window));
  EXPECT_EQ(Focused(), control(Ctl::minutos));
  QTest::keyClick(Focused(), Qt::Key_Tab);
  EXPECT_EQ(boxes.seen.size(), 1) << "one leave, one check";
  EXPECT_EQ(Focused(), control(Ctl::minutos));
}

TEST_F(Focus, GivingTheFocusBackToAFieldDisabledMeanwhileIsHarmless) {
  Type(rig.window, Ctl::segundos, "99");
  boxes.beforeClosing = [&] { rig.window.setEnabled(Ctl::segundos, false); };

  QTest::keyClick(Focused(), Qt::Key_Tab);

  EXPECT_EQ(boxes.seen.size(), 1);
  EXPECT_EQ(rig.window.text(Ctl::segundos), "00");
  EXPECT_NE(Focused(), control(Ctl::segundos));
  QTest::qWait(50);
  EXPECT_EQ(boxes.seen.size(), 1) << "nothing loops";
}

}  // namespace

namespace {

// Conectar is disabled during the handshake, and Qt moves the focus on to
// Salir; it comes back, so that Space pressed twice links and unlinks.
TEST(FocusAfterLinking, ReturnsToConectarUnlessTheOperatorPutItElsewhere) {
  for (bool operatorMovesIt : {false, true}) {
    WidgetRig rig;
    ASSERT_TRUE(Activate(rig.window));
    MessageBoxCloser boxes;
    QWidget* conectar = rig.window.control(Ctl::Conectar);
    ASSERT_EQ(QApplication::focusWidget(), conectar);
    rig.port.answers["Y"] = {{std::chrono::milliseconds(90), "0000000000000000001Y"}};
    if (operatorMovesIt) {
      QTimer::singleShot(0, &rig.window, [&] { rig.window.portList()->setFocus(); });
    }

    QTest::keyClick(conectar, Qt::Key_Space);

    ASSERT_EQ(rig.window.statusText(), "Conectado");
    if (operatorMovesIt) {
      EXPECT_NE(QApplication::focusWidget(), conectar) << "left where the operator put it";
      continue;
    }
    EXPECT_EQ(QApplication::focusWidget(), conectar);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(rig.window.statusText(), "Desconectado");
    EXPECT_TRUE(rig.window.isVisible()) << "Space twice must not quit";
  }
}

}  // namespace
