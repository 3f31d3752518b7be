// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/app_icon.h"

#include <QPainter>
#include <QPixmap>

namespace {

QPixmap ClockFace(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal rim = size / 8.0;
  const QRectF face(rim / 2, rim / 2, size - rim, size - rim);
  p.setPen(QPen(QColor(0xd0, 0x10, 0x10), rim));
  p.setBrush(Qt::white);
  p.drawEllipse(face);

  p.translate(size / 2.0, size / 2.0);
  const qreal radius = face.width() / 2 - rim / 2;
  p.setPen(QPen(Qt::black, qMax(1.0, size / 32.0)));
  for (int hour = 0; hour < 12; hour += 3) {
    p.save();
    p.rotate(hour * 30.0);
    p.drawLine(QPointF(0, -radius), QPointF(0, -radius * 0.75));
    p.restore();
  }
  p.setPen(QPen(Qt::black, qMax(1.0, size / 14.0), Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(0, 0), QPointF(0, -radius * 0.7));  // minute hand at twelve
  p.drawLine(QPointF(0, 0), QPointF(radius * 0.45, 0));  // hour hand at three
  return pixmap;
}

}  // namespace

QIcon AppIcon() {
  // The application and the window both carry it; it is drawn once.
  static const QIcon icon = [] {
    QIcon drawn;
    drawn.addPixmap(ClockFace(16));
    drawn.addPixmap(ClockFace(32));
    return drawn;
  }();
  return icon;
}
