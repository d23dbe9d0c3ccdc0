#include "app/bevel_panel.h"

#include <QPainter>

namespace {

void DrawBevel(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
  p.setPen(topLeft);
  p.drawLine(r.topLeft(), r.topRight());
  p.drawLine(r.topLeft(), r.bottomLeft());
  p.setPen(bottomRight);
  p.drawLine(r.bottomLeft(), r.bottomRight());
  p.drawLine(r.topRight(), r.bottomRight());
}

}  // namespace

BevelPanel::BevelPanel(QWidget* parent) : QFrame(parent) {
  setAutoFillBackground(true);
}

void BevelPanel::SetCaption(const QString& caption) {
  caption_ = caption;
  update();
}

void BevelPanel::SetLoweredInnerBevel(bool on) {
  lowered_inner_ = on;
  update();
}

void BevelPanel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QPalette& pal = palette();
  QRect r = rect().adjusted(0, 0, -1, -1);
  DrawBevel(p, r, pal.color(QPalette::Light), pal.color(QPalette::Dark));
  if (lowered_inner_) {
    r.adjust(1, 1, -1, -1);
    DrawBevel(p, r, pal.color(QPalette::Dark), pal.color(QPalette::Light));
  }
  if (!caption_.isEmpty()) {
    p.setPen(pal.color(QPalette::WindowText));
    p.setFont(font());
    p.drawText(rect(), Qt::AlignCenter, caption_);
  }
}
