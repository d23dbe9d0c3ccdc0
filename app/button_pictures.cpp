#include "app/button_pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace {

QPixmap BlankPicture() {
  QPixmap picture(kButtonPictureWidth, kButtonPictureHeight);
  picture.fill(Qt::transparent);
  return picture;
}

QPointF OnCircle(QPointF centre, qreal radius, qreal degrees) {
  const qreal a = qDegreesToRadians(degrees);
  return {centre.x() + radius * qCos(a), centre.y() - radius * qSin(a)};
}

// An arc of the circle from `startDeg` sweeping `sweepDeg` (counter-clockwise when positive),
// ending in an arrow head that points along the sweep.
void DrawArcArrow(QPainter& p, QPointF centre, qreal radius, qreal startDeg, qreal sweepDeg) {
  const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
  QPainterPath arc;
  arc.arcMoveTo(box, startDeg);
  arc.arcTo(box, startDeg, sweepDeg);
  p.setPen(QPen(QColor(0, 128, 0), 3.2, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawPath(arc);

  const qreal endDeg = startDeg + sweepDeg;
  const qreal direction = sweepDeg > 0 ? 1 : -1;
  const QPointF tip = OnCircle(centre, radius, endDeg + direction * 16);
  const QPointF outer = OnCircle(centre, radius + 5, endDeg - direction * 2);
  const QPointF inner = OnCircle(centre, radius - 5, endDeg - direction * 2);
  QPainterPath head;
  head.moveTo(tip);
  head.lineTo(outer);
  head.lineTo(inner);
  head.closeSubpath();
  p.setPen(QPen(QColor(0, 100, 0), 1));
  p.setBrush(QColor(0, 160, 0));
  p.drawPath(head);
}

}  // namespace

QPixmap RunPicture() {
  QPixmap picture = BlankPicture();
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  const QPointF centre(kButtonPictureWidth / 2.0, kButtonPictureHeight / 2.0);
  const qreal radius = 10.5;
  DrawArcArrow(p, centre, radius, 100, 140);
  DrawArcArrow(p, centre, radius, 280, 140);
  return picture;
}

QPixmap CancelPicture() {
  QPixmap picture = BlankPicture();
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal cx = kButtonPictureWidth / 2.0;
  const qreal cy = kButtonPictureHeight / 2.0;
  const qreal half = 10;
  p.setPen(QPen(QColor(128, 0, 0), 7, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(cx - half, cy - half), QPointF(cx + half, cy + half));
  p.drawLine(QPointF(cx + half, cy - half), QPointF(cx - half, cy + half));
  p.setPen(QPen(QColor(230, 0, 0), 4.5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(cx - half, cy - half), QPointF(cx + half, cy + half));
  p.drawLine(QPointF(cx + half, cy - half), QPointF(cx - half, cy + half));
  return picture;
}
