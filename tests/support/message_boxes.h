// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

#include "model/texts.h"

// How a closed box is kept: "title | text".
inline QString Box(const Message& message) {
  return QString::fromUtf8(message.title) + QStringLiteral(" | ") +
         QString::fromUtf8(message.prompt);
}

// Closes every message box as it opens, with its OK button, and keeps
// "title | text" of each. `beforeClosing` runs while the box is still open.
// Every box must be modal with one OK button, and show the information icon
// for the upload's confirmation and the error icon for everything else.
class MessageBoxCloser : public QObject {
 public:
  MessageBoxCloser() {
    m_timer.setInterval(20);
    QObject::connect(&m_timer, &QTimer::timeout, this, [this] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        seen << box->windowTitle() + QStringLiteral(" | ") + box->text();
        const bool confirmation = box->text() == QString::fromUtf8(kUploadDone.prompt);
        EXPECT_EQ(box->icon(), confirmation ? QMessageBox::Information : QMessageBox::Critical)
            << box->text().toStdString();
        EXPECT_EQ(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok))
            << box->text().toStdString();
        if (beforeClosing) beforeClosing();
        box->button(QMessageBox::Ok)->click();
      }
    });
    m_timer.start();
  }
  QStringList seen;
  std::function<void()> beforeClosing;

 private:
  QTimer m_timer;
};
