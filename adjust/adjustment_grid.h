// AdjustmentGrid: the data grid DBGridEh2 of the adjustment editor, a table view over a data
// source (DAjuste) showing the fields of AdjustmentGridFields, one row per visible record.
//
// What it promises:
// - The current row is always the dataset's current record (or the record being inserted);
//   the grid keeps the current column itself. Every move goes through the dataset, so a move
//   off a changed row posts it first, and a failed post leaves everything where it was.
// - Keys and mouse act as the editor's users expect (adjustment_grid_keys.cpp): arrows, paging,
//   Tab and Enter through the columns and, at the ends, through the rows (appending a new row
//   past the last one); Insert, Ctrl+Delete with "Delete record?", Ctrl+', typing into a cell,
//   the incremental search (Ctrl+F) and the find dialog (Ctrl+F again). Tab never leaves the
//   grid. F2, F5 and Esc are left to the window.
// - Typed text reaches a field only through the field's text conversion, when the cell is left,
//   the row posted, or the grid loses the focus; a text the field refuses stops what was asked
//   and is shown by the default error display, the editor keeping the text (and the focus
//   coming back when it was leaving). Leaving the grid with an untouched new row removes it.
// - The current cell is painted highlighted only while the grid or its editor has the focus.
//   The indicator column marks the current row: browsing, editing, inserting or searching.
// - Failures of what a key or a click started go to the default error display; edit, post and
//   delete failures reach the dataset's error events first.
//
// Lives on the user-interface thread. The services and the data source's dataset must outlive
// the grid, or let go of it first (a data source that goes detaches itself).
#pragma once

#include <QPointer>
#include <QTableView>
#include <memory>

#include "adjust/cell_editor.h"
#include "adjust/grid_headers.h"
#include "adjust/row_finder.h"
#include "base/format_settings.h"

class CellDelegate;
class FindTextDialog;
class QLineEdit;
class RecordsModel;
class TDataSet;
class TDataSource;
class TField;
class UiServices;

class AdjustmentGrid : public QTableView, private CellEditorOwner {
  Q_OBJECT

 public:
  AdjustmentGrid(UiServices& ui, const FormatSettings& settings, QWidget* parent = nullptr);
  ~AdjustmentGrid() override;

  void SetDataSource(TDataSource* source);
  const RecordsModel& Records() const { return *model_; }

  // The current column, as a column of the model (not its place on screen).
  int CurrentColumn() const { return column_; }
  // The glyph of the current row's indicator; kNone without a current row.
  IndicatorGlyph CurrentGlyph() const;
  // The open cell editor; null while none is open.
  QLineEdit* Editor() const { return editor_; }
  bool Searching() const { return searching_; }
  const QString& SearchText() const { return search_text_; }
  // Null until the find dialog is first needed.
  FindTextDialog* FindDialog() const { return find_dialog_; }
  // Rows the grid shows whole at once (at least one).
  int VisibleRowCount() const;
  // Pixels of a row, and of the title row.
  int RowHeight() const;

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

 private:
  // CellEditorOwner.
  void HandOverKey(QKeyEvent& event) override;
  bool TextEdited() override;
  void CharacterRefused() override;

  // --- Keys (adjustment_grid_keys.cpp); each may throw. ---
  // A key for the grid, from the grid or from its editor: runs it through the default display.
  void Key(QKeyEvent& event);
  void GridKey(QKeyEvent& event);
  // A key while the incremental search runs; false when the grid's own keys should have it.
  bool SearchKey(QKeyEvent& event);
  void TabForward();
  void TabBackward();
  void UpAction();
  void DownAction();
  void InsertRow();
  void DeleteRow();
  void CopyFromRowAbove();
  void TypeCharacter(QKeyEvent& event);
  void StartSearch();
  void StopSearch();
  // Makes current the first row from `from` (stepping by `step`) whose text in the current
  // column begins with `text`; false when none does.
  bool SearchFor(const QString& text, int from, int step);
  void OpenFindDialog();
  bool FindFromDialog(const FindRequest& request);

  // --- Moving the current cell. ---
  // Makes `row` current: posts or drops a pending row first, then moves the dataset there.
  void MoveToRow(int row);
  void MoveRowsBy(int distance);
  // Makes the column current (a model column); leaving the cell writes the editor's text first.
  void SetColumn(int column);
  // Model column at a place on screen, and back.
  int ColumnAt(int visual) const;
  int PlaceOf(int column) const;
  int TopVisibleRow() const;
  int BottomVisibleRow() const;

  // --- The cell editor. ---
  void OpenEditor();
  void CloseEditor();
  // Writes a changed editor text into its field; throws what the conversion raises.
  void WriteEditorText();
  QWidget* CreateEditor(QWidget* parent, const QModelIndex& index);
  // The grid lost the focus to another control of its window.
  void Exit();
  void FocusChanged(QWidget* old, QWidget* now);
  bool Contains(const QWidget* widget) const;

  // --- Following the dataset. ---
  TDataSet* Data() const;
  TField* Field(int column) const;
  int ActiveRow() const;
  void RowsChanged();
  void ActiveRowMoved();
  void ActiveRowEdited(TField* field);
  void StateChanged();
  // Puts the view's current index on the current cell and scrolls it into view.
  void SyncCurrentIndex();
  bool Highlighted(const QModelIndex& index) const;

  UiServices& ui_;
  FormatSettings settings_;
  RecordsModel* model_;
  CellDelegate* delegate_;
  int column_ = 0;
  QPointer<QLineEdit> editor_;
  int editor_row_ = -1;
  // The editor's text changed since it was opened or last written.
  bool editor_modified_ = false;
  bool searching_ = false;
  QString search_text_;
  // The incremental search is moving the current row: that does not stop it.
  bool search_moving_ = false;
  FindTextDialog* find_dialog_ = nullptr;
  int wheel_delta_ = 0;
};
