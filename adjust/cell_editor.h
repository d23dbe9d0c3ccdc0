// CellEditor: the text box laid over the current cell of the adjustment grid.
//
// It keeps the keys that edit its text and hands the others to the grid: Up, Down, PgUp, PgDn,
// Tab, Shift+Tab and Enter always; Left and Home at the start of the text, Right and End at its
// end, and all four with Ctrl; Insert (Shift+Insert pastes), Ctrl+Delete (Delete deletes text),
// Ctrl+F and Ctrl+'. A typed character the column refuses is dropped with a beep. The first
// change of the text asks the owner to put the row into edit mode; when it cannot, the change is
// undone. F2, F5 and Esc are the window's: the editor leaves them alone.
//
// Lives on the user-interface thread; the owner outlives it.
#pragma once

#include <QLineEdit>
#include <functional>

// The key event when `event` presses Tab or Shift+Tab, which the grid and its editor take before
// the focus chain does; null otherwise.
QKeyEvent* TabPress(QEvent* event);

class CellEditorOwner {
 public:
  virtual ~CellEditorOwner() = default;
  // A key the editor does not keep.
  virtual void HandOverKey(QKeyEvent& event) = 0;
  // The user changed the text; false when the change must be undone.
  virtual bool TextEdited() = 0;
  // A typed character was refused.
  virtual void CharacterRefused() = 0;
};

class CellEditor : public QLineEdit {
  Q_OBJECT

 public:
  // `accepts` tells the characters the column takes.
  CellEditor(CellEditorOwner& owner, std::function<bool(QChar)> accepts, QWidget* parent);

  // Handles `event` as if typed into the editor.
  void Type(QKeyEvent& event) { keyPressEvent(&event); }
  // Selects the whole text with the caret at its start, so that a text wider than the box shows
  // its start.
  void SelectWhole();

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

  CellEditorOwner& Owner() { return owner_; }

 private:
  bool HandsOver(const QKeyEvent& event) const;
  // The caret is at the start (end) of the text, or the whole text is selected.
  bool AtStart() const;
  bool AtEnd() const;

  CellEditorOwner& owner_;
  std::function<bool(QChar)> accepts_;
};
