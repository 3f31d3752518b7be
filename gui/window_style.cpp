// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/window_style.h"

#include <qdrawutil.h>
#include <QGroupBox>
#include <QImageReader>
#include <QStyleOption>

namespace {

constexpr char kGroupBoxImage[] = ":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png";
// Fusion's: the frame's corners, and its gap below the title.
constexpr QMargins kGroupBoxCorners{6, 6, 6, 6};
constexpr int kGroupBoxTopMargin = 3;

}  // namespace

void WindowStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                QPainter* painter, const QWidget* widget) const {
  if (element != PE_FrameGroupBox || baseStyle()->name() != QLatin1String("fusion")) {
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    return;
  }
  if (m_groupBoxFrame.isNull()) {
    QImageReader reader(QString::fromLatin1(kGroupBoxImage), "png");
    reader.setAutoDetectImageFormat(false);
    m_groupBoxFrame = QPixmap::fromImage(reader.read());
  }
  qDrawBorderPixmap(painter, groupBoxFrame(option, widget), kGroupBoxCorners, m_groupBoxFrame);
}

// Below the title, or nearly the whole box when it has none.
QRect WindowStyle::groupBoxFrame(const QStyleOption* option, const QWidget* widget) const {
  const auto* box = qobject_cast<const QGroupBox*>(widget);
  const bool bare = box && !box->isCheckable() && box->title().isEmpty();
  const int top =
      bare ? kGroupBoxTopMargin
           : qMax(pixelMetric(PM_ExclusiveIndicatorHeight), option->fontMetrics.height()) +
                 kGroupBoxTopMargin;
  return option->rect.adjusted(0, top, 0, 0);
}
