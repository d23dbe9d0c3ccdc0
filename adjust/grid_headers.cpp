#include "adjust/grid_headers.h"

#include <qdrawutil.h>

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {

void DrawRaisedCell(QPainter& painter, const QRect& rect, const QPalette& palette) {
  qDrawShadePanel(&painter, rect, palette, false, 1, &palette.brush(QPalette::Button));
}

}  // namespace

// ---- TitleHeader -----------------------------------------------------------------------------

TitleHeader::TitleHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
  setSectionsMovable(true);
  setSectionsClickable(false);
  setSectionResizeMode(QHeaderView::Interactive);
  setStretchLastSection(false);
  setHighlightSections(false);
  setSortIndicatorShown(false);
  setFocusPolicy(Qt::NoFocus);
}

void TitleHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
  DrawRaisedCell(*painter, rect, palette());
  const QString title = model() ? model()->headerData(logicalIndex, orientation()).toString() : "";
  painter->save();
  painter->setPen(palette().color(QPalette::WindowText));
  painter->setClipRect(rect.adjusted(1, 1, -1, -1));
  painter->drawText(rect.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter, title);
  painter->restore();
}

QMouseEvent TitleHeader::AsLeftButton(const QMouseEvent& event) {
  const Qt::MouseButton button =
      event.button() == Qt::RightButton ? Qt::LeftButton : event.button();
  Qt::MouseButtons buttons = event.buttons();
  if (buttons & Qt::RightButton) buttons = (buttons & ~Qt::RightButton) | Qt::LeftButton;
  return QMouseEvent(event.type(), event.position(), event.scenePosition(), event.globalPosition(),
                     button, buttons, event.modifiers());
}

void TitleHeader::mousePressEvent(QMouseEvent* event) {
  if (on_press) on_press();
  right_drag_ = event->button() == Qt::RightButton;
  if (!right_drag_) return QHeaderView::mousePressEvent(event);
  QMouseEvent left = AsLeftButton(*event);
  QHeaderView::mousePressEvent(&left);
}

void TitleHeader::mouseMoveEvent(QMouseEvent* event) {
  if (!right_drag_) return QHeaderView::mouseMoveEvent(event);
  QMouseEvent left = AsLeftButton(*event);
  QHeaderView::mouseMoveEvent(&left);
}

void TitleHeader::mouseReleaseEvent(QMouseEvent* event) {
  if (!right_drag_ || event->button() != Qt::RightButton) {
    return QHeaderView::mouseReleaseEvent(event);
  }
  right_drag_ = false;
  QMouseEvent left = AsLeftButton(*event);
  QHeaderView::mouseReleaseEvent(&left);
}

void TitleHeader::mouseDoubleClickEvent(QMouseEvent* event) {
  // A double click on a boundary would fit the column to its contents; titles do nothing.
  event->accept();
}

// ---- IndicatorHeader -------------------------------------------------------------------------

IndicatorHeader::IndicatorHeader(QWidget* parent) : QHeaderView(Qt::Vertical, parent) {
  setSectionsClickable(false);
  setSectionResizeMode(QHeaderView::Fixed);
  setHighlightSections(false);
  setFocusPolicy(Qt::NoFocus);
}

QSize IndicatorHeader::sizeHint() const {
  QSize size = QHeaderView::sizeHint();
  size.setWidth(static_cast<int>(kWidth * logicalDpiX() / 96.0 + 0.5));
  return size;
}

void IndicatorHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
  DrawRaisedCell(*painter, rect, palette());
  if (glyph_of) DrawIndicatorGlyph(*painter, rect, glyph_of(logicalIndex));
}

void IndicatorHeader::mousePressEvent(QMouseEvent* event) {
  const int row = logicalIndexAt(event->position().toPoint());
  if (on_press) on_press(row);
  event->accept();
}

void IndicatorHeader::mouseMoveEvent(QMouseEvent* event) {
  event->accept();
}

void IndicatorHeader::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
}

void IndicatorHeader::mouseDoubleClickEvent(QMouseEvent* event) {
  event->accept();
}

// ---- glyphs ----------------------------------------------------------------------------------

void DrawIndicatorGlyph(QPainter& painter, const QRect& cell, IndicatorGlyph glyph) {
  if (glyph == IndicatorGlyph::kNone) return;
  const int w = IndicatorHeader::kGlyphWidth;
  const int h = IndicatorHeader::kGlyphHeight;
  const QRect box(cell.x() + (cell.width() - w) / 2, cell.y() + (cell.height() - h) / 2, w, h);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  const QColor ink = Qt::black;
  auto triangle = [&](const QRect& r) {
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() + 1, r.center().y() + 0.5);
    path.lineTo(r.left(), r.bottom() + 1);
    path.closeSubpath();
    return path;
  };
  switch (glyph) {
    case IndicatorGlyph::kBrowse: {
      const QRect r(box.x() + 1, box.y() + 2, 4, 7);
      painter.fillPath(triangle(r), ink);
      break;
    }
    case IndicatorGlyph::kEdit: {
      painter.setPen(ink);
      const int x = box.x() + w / 2;
      painter.drawLine(x, box.top() + 1, x, box.bottom() - 1);
      painter.drawLine(x - 2, box.top(), x - 1, box.top());
      painter.drawLine(x + 1, box.top(), x + 2, box.top());
      painter.drawLine(x - 2, box.bottom(), x - 1, box.bottom());
      painter.drawLine(x + 1, box.bottom(), x + 2, box.bottom());
      break;
    }
    case IndicatorGlyph::kInsert: {
      painter.setPen(ink);
      const QPoint c(box.x() + w / 2, box.y() + h / 2);
      painter.drawLine(c.x(), c.y() - 3, c.x(), c.y() + 3);
      painter.drawLine(c.x() - 2, c.y(), c.x() + 2, c.y());
      painter.drawLine(c.x() - 2, c.y() - 2, c.x() + 2, c.y() + 2);
      painter.drawLine(c.x() - 2, c.y() + 2, c.x() + 2, c.y() - 2);
      break;
    }
    case IndicatorGlyph::kSearch: {
      painter.fillRect(box, QColor(255, 255, 0));
      painter.setPen(ink);
      painter.setBrush(Qt::NoBrush);
      const QRect r(box.x() + 1, box.y() + 2, 4, 7);
      painter.drawPath(triangle(r));
      break;
    }
    case IndicatorGlyph::kNone:
      break;
  }
  painter.restore();
}
