// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/headless_view.h"

#include <QCoreApplication>

#include <utility>

#include "model/protocol.h"
#include "model/texts.h"

HeadlessView::HeadlessView() {
  for (Ctl field : kDeviceFieldOrder) m_text[field] = QString::fromLatin1(kZeroTime);
}

void HeadlessView::MsgBox(const QString& prompt, const QString& title, MsgIcon icon) {
  m_messages.append({prompt, title, icon});
}

void HeadlessView::DoEvents() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

QList<HeadlessView::Shown> HeadlessView::takeMessages() {
  return std::exchange(m_messages, {});
}
