// DateCellEditor: the cell editor of a date column, a CellEditor with a drop-down button (a small
// down-pointing triangle) at its right end that opens a month calendar below the cell. Alt+Down,
// Alt+Up and Ctrl+Enter open it from the keyboard.
//
// While the calendar is open it has the keys: the arrows, PgUp, PgDn, Ctrl+Home and Ctrl+End
// move its selected day; Enter, Alt+Down or Alt+Up close it and put the chosen date into the
// editor (as a change of the text, in the regional short date format); a click on a day does the
// same; Esc closes it and keeps the editor's text. None of these keys goes further.
#pragma once

#include <QDate>
#include <QFrame>
#include <memory>

#include "adjust/cell_editor.h"
#include "base/format_settings.h"

class QCalendarWidget;
class QToolButton;

// The drop-down month calendar of a date cell: a popup holding the toolkit's calendar.
class CalendarPopup : public QFrame {
  Q_OBJECT

 public:
  explicit CalendarPopup(QWidget* parent);

  QCalendarWidget* Calendar() const { return calendar_; }
  // Shows the calendar with `date` selected, its top left corner at `globalTopLeft`.
  void Open(const QDate& date, const QPoint& globalTopLeft);

 signals:
  void Chosen(const QDate& date);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Choose();
  QCalendarWidget* calendar_;
};

class DateCellEditor : public CellEditor {
  Q_OBJECT

 public:
  DateCellEditor(CellEditorOwner& owner, const FormatSettings& settings, QWidget* parent);

  void OpenCalendar();
  // Null until the calendar is first opened.
  CalendarPopup* Popup() const { return popup_; }
  QToolButton* DropDownButton() const { return button_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void TakeDate(const QDate& date);

  FormatSettings settings_;
  QToolButton* button_;
  CalendarPopup* popup_ = nullptr;
};
