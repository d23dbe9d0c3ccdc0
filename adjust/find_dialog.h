// FindTextDialog: the "Find text" dialog of the adjustment grid. One instance serves the whole
// run: it keeps the texts searched for (the drop-down of its text box) and its last settings
// between openings.
//
// "Find next", or Enter anywhere in the dialog, adds the text to the drop-down (once) and asks
// the owner to search with the request the controls make. The direction is the chosen one,
// except that after a successful search with "All" later searches go "Down" until the text, the
// direction or the column choice changes; Ctrl held during the click on the button reverses it
// ("Up" becomes "Down", "Down" and "All" become "Up"). "Close" or Esc hides the dialog.
//
// The row "Find in Tree:" exists but is hidden, and the dialog ends above it: the rows searched
// have no tree.
#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>

#include "adjust/row_finder.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

class FindTextDialog : public QDialog {
  Q_OBJECT

 public:
  explicit FindTextDialog(QWidget* parent);

  // Shows the dialog, modal to the application, and returns at once: `text` in the text box,
  // the column choice listing `titles` (the visible columns in their order) then "<All>", with
  // `current` (a position in `titles`) chosen.
  void Open(const QString& text, const QStringList& titles, int current);

  // Searches as the request says; the request's columns are positions in the titles of Open.
  // Answers whether a cell was found.
  std::function<bool(const FindRequest&)> on_find;

  QComboBox* TextBox() const { return text_; }
  QComboBox* ColumnChoice() const { return columns_; }
  QComboBox* MatchChoice() const { return match_; }
  QComboBox* DirectionChoice() const { return direction_; }
  QCheckBox* MatchCase() const { return match_case_; }
  QCheckBox* MatchFormat() const { return match_format_; }
  QPushButton* FindNextButton() const { return find_next_; }
  QPushButton* CloseButton() const { return close_; }
  QWidget* TreeRow() const { return tree_row_; }

  // Client area at 96 dpi.
  static constexpr int kWidth = 505;
  static constexpr int kHeight = 124;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Build();
  void FindNext(bool reversed);
  FindRequest Request(bool reversed) const;

  QComboBox* text_;
  QComboBox* columns_;
  QComboBox* match_;
  QComboBox* direction_;
  QCheckBox* match_case_;
  QCheckBox* match_format_;
  QPushButton* find_next_;
  QPushButton* close_;
  QWidget* tree_row_;
  int column_count_ = 0;
  // The last search went "All" and found something, and nothing changed since.
  bool continue_down_ = false;
  Qt::KeyboardModifiers click_modifiers_ = Qt::NoModifier;
};
