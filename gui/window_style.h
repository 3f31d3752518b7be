// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>
#include <QProxyStyle>

// The desktop's style, with one change under Fusion: the group box's frame,
// Fusion's own image, is read by Qt's built-in PNG reader alone. Fusion reads
// it through the image reader's search, which first loads every image-format
// plugin installed to ask whether it reads PNG: work the window's first paint
// waited for, with the same frame at the end.
class WindowStyle : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;
  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;

 private:
  QRect groupBoxFrame(const QStyleOption* option, const QWidget* widget) const;

  mutable QPixmap m_groupBoxFrame;
};
