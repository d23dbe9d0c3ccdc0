// The mouse in the adjustment grid: clicks on the cells and the wheel. The headers hand their
// own presses over through their hooks (see the grid's constructor).
#include <QMouseEvent>
#include <QWheelEvent>

#include "adjust/adjustment_grid.h"
#include "errors/default_error_display.h"

void AdjustmentGrid::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  event->accept();
  if (event->button() != Qt::LeftButton) return;
  const QModelIndex index = indexAt(event->position().toPoint());
  if (!index.isValid()) return;
  RunHandler(ui_, [&] {
    if (index.row() == ActiveRow() && index.column() == column_) return OpenEditor();
    MoveToRow(index.row());
    SetColumn(index.column());
  });
}

void AdjustmentGrid::mouseMoveEvent(QMouseEvent* event) {
  event->accept();
}

void AdjustmentGrid::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
}

void AdjustmentGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  // The second press of a double click is a press like the first.
  mousePressEvent(event);
}

void AdjustmentGrid::wheelEvent(QWheelEvent* event) {
  event->accept();
  wheel_delta_ += event->angleDelta().y();
  const int notches = wheel_delta_ / QWheelEvent::DefaultDeltasPerStep;
  if (notches == 0) return;
  wheel_delta_ -= notches * QWheelEvent::DefaultDeltasPerStep;
  RunHandler(ui_, [&] { MoveRowsBy(-notches); });
}
