#include "app/headless_view.h"

#include <QCoreApplication>

#include <utility>

#include "link/handshake.h"

HeadlessView::HeadlessView() {
  for (Ctl field : kDeviceFieldOrder) m_text[field] = QStringLiteral("00");
}

void HeadlessView::MsgBox(const QString& prompt, const QString& title, MsgIcon) {
  m_messages << title + QStringLiteral(" | ") + prompt;
}

void HeadlessView::DoEvents() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

QStringList HeadlessView::takeMessages() {
  return std::exchange(m_messages, {});
}
