// DatePicker: a date editor with a drop-down calendar in which Tab and Shift+Tab move the focus
// to the next or previous control, as in every other control of the window, instead of
// stepping through the day, month and year.
#pragma once

#include <QDateEdit>

class DatePicker : public QDateEdit {
  Q_OBJECT

 public:
  using QDateEdit::QDateEdit;

 protected:
  bool focusNextPrevChild(bool next) override { return QWidget::focusNextPrevChild(next); }
};
