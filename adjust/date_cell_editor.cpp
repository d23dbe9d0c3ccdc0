#include "adjust/date_cell_editor.h"

#include <QCalendarWidget>
#include <QKeyEvent>
#include <QToolButton>
#include <QVBoxLayout>

#include "base/date_time.h"

namespace {

bool IsEnter(int key) {
  return key == Qt::Key_Return || key == Qt::Key_Enter;
}

bool OpensOrClosesCalendar(const QKeyEvent& event) {
  const Qt::KeyboardModifiers mods =
      event.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
  const bool altArrow =
      mods == Qt::AltModifier && (event.key() == Qt::Key_Down || event.key() == Qt::Key_Up);
  return altArrow || (mods == Qt::ControlModifier && IsEnter(event.key()));
}

}  // namespace

// ---- CalendarPopup ---------------------------------------------------------------------------

CalendarPopup::CalendarPopup(QWidget* parent) : QFrame(parent, Qt::Popup) {
  setFrameShape(QFrame::Box);
  setAttribute(Qt::WA_WindowPropagation);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(1, 1, 1, 1);
  calendar_ = new QCalendarWidget(this);
  calendar_->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
  calendar_->setGridVisible(false);
  layout->addWidget(calendar_);
  // The calendar's day view has the keys; the popup decides which of them end the choice.
  for (QWidget* w : calendar_->findChildren<QWidget*>()) w->installEventFilter(this);
  calendar_->installEventFilter(this);
  connect(calendar_, &QCalendarWidget::clicked, this, [this] { Choose(); });
}

void CalendarPopup::Open(const QDate& date, const QPoint& globalTopLeft) {
  calendar_->setSelectedDate(date);
  adjustSize();
  move(globalTopLeft);
  show();
  calendar_->setFocus(Qt::PopupFocusReason);
}

void CalendarPopup::Choose() {
  const QDate date = calendar_->selectedDate();
  hide();
  emit Chosen(date);
}

bool CalendarPopup::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || !isVisible()) return QFrame::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  if (key->key() == Qt::Key_Escape) {
    hide();
    return true;
  }
  const bool alone = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
  if ((alone && IsEnter(key->key())) || OpensOrClosesCalendar(*key)) {
    Choose();
    return true;
  }
  return QFrame::eventFilter(watched, event);
}

// ---- DateCellEditor --------------------------------------------------------------------------

DateCellEditor::DateCellEditor(CellEditorOwner& owner, const FormatSettings& settings,
                               QWidget* parent)
    : CellEditor(
          owner, [](QChar) { return true; }, parent),
      settings_(settings) {
  button_ = new QToolButton(this);
  button_->setArrowType(Qt::DownArrow);
  button_->setFocusPolicy(Qt::NoFocus);
  button_->setCursor(Qt::ArrowCursor);
  connect(button_, &QToolButton::clicked, this, &DateCellEditor::OpenCalendar);
}

void DateCellEditor::resizeEvent(QResizeEvent* event) {
  CellEditor::resizeEvent(event);
  const int side = height();
  const int width = qMin(side, 16);
  button_->setGeometry(this->width() - width, 0, width, side);
  setTextMargins(0, 0, width, 0);
}

void DateCellEditor::keyPressEvent(QKeyEvent* event) {
  if (OpensOrClosesCalendar(*event)) {
    OpenCalendar();
    return event->accept();
  }
  CellEditor::keyPressEvent(event);
}

void DateCellEditor::OpenCalendar() {
  if (!popup_) {
    popup_ = new CalendarPopup(this);
    connect(popup_, &CalendarPopup::Chosen, this, &DateCellEditor::TakeDate);
  }
  QDate date = QDate::currentDate();
  TDateTime value = 0;
  if (TryStrToDate(text().toStdString(), value, settings_)) {
    int y = 0, m = 0, d = 0;
    DecodeDate(value, y, m, d);
    date = QDate(y, m, d);
  }
  popup_->Open(date, parentWidget()->mapToGlobal(geometry().bottomLeft() + QPoint(0, 1)));
}

void DateCellEditor::TakeDate(const QDate& date) {
  setFocus(Qt::PopupFocusReason);
  const QString chosen = QString::fromStdString(
      DateToStr(EncodeDate(date.year(), date.month(), date.day()), settings_));
  if (chosen == text()) return;
  // The same way as typing: the row goes into edit mode first, and may refuse.
  const QString before = text();
  setText(chosen);
  if (!Owner().TextEdited()) setText(before);
  SelectWhole();
}
