// The keys of the adjustment grid and of its cell editor (for the keys the editor hands over),
// the incremental search and the find dialog.
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>

#include "adjust/adjustment_grid.h"
#include "adjust/find_dialog.h"
#include "adjust/records_model.h"
#include "db/dataset/dataset.h"
#include "errors/default_error_display.h"
#include "ui/ui_services.h"

namespace {

constexpr Qt::KeyboardModifiers kModifiers =
    Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

bool IsEnter(int key) {
  return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// Text a key types: printable characters, without Ctrl or Alt.
QString TypedText(const QKeyEvent& event) {
  if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return {};
  const QString text = event.text();
  for (const QChar c : text) {
    if (!c.isPrint()) return {};
  }
  return text;
}

}  // namespace

bool AdjustmentGrid::event(QEvent* event) {
  // Tab and Shift+Tab move between the cells; they never take the focus out of the grid.
  if (QKeyEvent* tab = TabPress(event)) {
    keyPressEvent(tab);
    return true;
  }
  return QTableView::event(event);
}

void AdjustmentGrid::keyPressEvent(QKeyEvent* event) {
  Key(*event);
}

void AdjustmentGrid::Key(QKeyEvent& event) {
  switch (event.key()) {
    case Qt::Key_F2:
    case Qt::Key_F5:
    case Qt::Key_Escape:
      // The window's keys: it has acted on them already.
      return event.ignore();
    default:
      event.accept();
      RunHandler(ui_, [&] { GridKey(event); });
  }
}

void AdjustmentGrid::GridKey(QKeyEvent& event) {
  TDataSet* data = Data();
  if (!data) return;
  if (searching_ && SearchKey(event)) return;
  const Qt::KeyboardModifiers mods = event.modifiers() & kModifiers;
  const bool ctrl = mods == Qt::ControlModifier;
  const bool plain = !(mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
  const int columns = model_->columnCount();
  switch (event.key()) {
    case Qt::Key_Left:
      if (ctrl) return SetColumn(ColumnAt(0));
      if (plain) return SetColumn(ColumnAt(qMax(0, PlaceOf(column_) - 1)));
      return;
    case Qt::Key_Right:
      if (ctrl) return SetColumn(ColumnAt(columns - 1));
      if (plain) return SetColumn(ColumnAt(qMin(columns - 1, PlaceOf(column_) + 1)));
      return;
    case Qt::Key_Home:
      if (ctrl) return data->First();
      if (plain) return SetColumn(ColumnAt(0));
      return;
    case Qt::Key_End:
      if (ctrl) return data->Last();
      if (plain) return SetColumn(ColumnAt(columns - 1));
      return;
    case Qt::Key_Up:
      if (ctrl) return MoveToRow(TopVisibleRow());
      if (plain) return UpAction();
      return;
    case Qt::Key_Down:
      if (ctrl) return MoveToRow(BottomVisibleRow());
      if (plain) return DownAction();
      return;
    case Qt::Key_PageUp:
      if (ctrl) return MoveToRow(TopVisibleRow());
      if (plain) return MoveRowsBy(-VisibleRowCount());
      return;
    case Qt::Key_PageDown:
      if (ctrl) return MoveToRow(BottomVisibleRow());
      if (plain) return MoveRowsBy(VisibleRowCount());
      return;
    case Qt::Key_Tab:
      return mods & Qt::ShiftModifier ? TabBackward() : TabForward();
    case Qt::Key_Backtab:
      return TabBackward();
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (mods == Qt::NoModifier) return TabForward();
      if (mods == Qt::ShiftModifier) return TabBackward();
      return;
    case Qt::Key_Insert:
      if (mods == Qt::NoModifier) InsertRow();
      return;
    case Qt::Key_Delete:
      if (ctrl) DeleteRow();
      return;
    case Qt::Key_F:
      if (ctrl) return StartSearch();
      break;
    case Qt::Key_Apostrophe:
      if (ctrl) return CopyFromRowAbove();
      break;
    default:
      break;
  }
  if (!TypedText(event).isEmpty()) TypeCharacter(event);
}

void AdjustmentGrid::TabForward() {
  const int place = PlaceOf(column_);
  if (place + 1 < model_->columnCount()) return SetColumn(ColumnAt(place + 1));
  DownAction();
  SetColumn(ColumnAt(0));
}

void AdjustmentGrid::TabBackward() {
  const int place = PlaceOf(column_);
  if (place > 0) return SetColumn(ColumnAt(place - 1));
  UpAction();
  SetColumn(ColumnAt(model_->columnCount() - 1));
}

void AdjustmentGrid::UpAction() {
  TDataSet* data = Data();
  const bool untouched =
      data->State() == TDataSetState::dsInsert && !data->Modified() && !editor_modified_;
  // A new row left untouched at the end goes again instead.
  if (untouched && model_->Link().InsertedRow() == model_->rowCount() - 1) return data->Cancel();
  data->MoveBy(-1);
}

void AdjustmentGrid::DownAction() {
  TDataSet* data = Data();
  const bool untouched =
      data->State() == TDataSetState::dsInsert && !data->Modified() && !editor_modified_;
  if (untouched) {
    if (model_->Link().InsertedRow() == model_->rowCount() - 1) return;
    // Dropping it leaves the row that stood below it current.
    return data->Cancel();
  }
  data->Next();
  if (data->Eof() && data->CanModify()) data->Append();
}

void AdjustmentGrid::InsertRow() {
  TDataSet* data = Data();
  if (data->CanModify()) data->Insert();
}

void AdjustmentGrid::DeleteRow() {
  TDataSet* data = Data();
  if (!data->CanModify() || data->IsEmpty()) return;
  const QPointer<QWidget> focus = QApplication::focusWidget();
  const bool confirmed = ui_.Confirm("Delete record?");
  if (confirmed) data->Delete();
  if (focus) {
    focus->setFocus(Qt::OtherFocusReason);
  } else {
    setFocus(Qt::OtherFocusReason);
  }
}

void AdjustmentGrid::CopyFromRowAbove() {
  const int row = ActiveRow();
  if (row < 0) return;
  if (row > TopVisibleRow()) {
    const QString above = model_->Text(row - 1, column_);
    if (TField* field = Field(column_)) {
      Data()->Edit();
      // The value replaces whatever was typed, and shows in the editor.
      editor_modified_ = false;
      field->SetText(above.toStdString());
    }
  }
  OpenEditor();
}

void AdjustmentGrid::TypeCharacter(QKeyEvent& event) {
  TDataSet* data = Data();
  // A grid without rows gets one to type into.
  if (ActiveRow() < 0) {
    if (!data->CanModify()) return;
    data->Insert();
  }
  OpenEditor();
  if (auto* editor = qobject_cast<CellEditor*>(editor_.data())) editor->Type(event);
}

// ---- incremental search ---------------------------------------------------------------------

void AdjustmentGrid::StartSearch() {
  WriteEditorText();
  CloseEditor();
  searching_ = true;
  search_text_.clear();
  verticalHeader()->viewport()->update();
}

void AdjustmentGrid::StopSearch() {
  if (!searching_) return;
  searching_ = false;
  search_text_.clear();
  verticalHeader()->viewport()->update();
  viewport()->update();
}

bool AdjustmentGrid::SearchFor(const QString& text, int from, int step) {
  const CellTextOf textOf = [this](int row, int column) { return model_->Text(row, column); };
  const std::optional<int> found =
      FindPrefix(textOf, model_->rowCount(), column_, text, from, step);
  if (!found) return false;
  search_text_ = model_->Text(*found, column_).left(text.size());
  search_moving_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{search_moving_};
  MoveToRow(*found);
  viewport()->update();
  return true;
}

bool AdjustmentGrid::SearchKey(QKeyEvent& event) {
  const Qt::KeyboardModifiers mods = event.modifiers() & kModifiers;
  const bool ctrl = mods == Qt::ControlModifier;
  const bool browsing = Data()->State() == TDataSetState::dsBrowse;
  const int key = event.key();
  if (ctrl && key == Qt::Key_F) {
    StopSearch();
    OpenFindDialog();
    return true;
  }
  if (IsEnter(key)) {
    if (ctrl) {
      SearchFor(search_text_, ActiveRow() + 1, 1);
      return true;
    }
    if (mods == (Qt::ControlModifier | Qt::ShiftModifier)) {
      SearchFor(search_text_, ActiveRow() - 1, -1);
      return true;
    }
    // Enter ends the search and then moves on as usual.
    StopSearch();
    return false;
  }
  if ((ctrl && key == Qt::Key_V) || (mods == Qt::ShiftModifier && key == Qt::Key_Insert)) {
    const QString pasted = QGuiApplication::clipboard()->text();
    if (browsing) SearchFor(search_text_ + pasted, 0, 1);
    return true;
  }
  if (key == Qt::Key_Backspace && mods == Qt::NoModifier) {
    // A character outside the basic plane takes two code units.
    const bool pair = search_text_.size() >= 2 && search_text_.back().isLowSurrogate();
    search_text_.chop(pair ? 2 : 1);
    viewport()->update();
    return true;
  }
  const QString typed = TypedText(event);
  if (typed.isEmpty()) return false;
  if (browsing) SearchFor(search_text_ + typed, 0, 1);
  return true;
}

// ---- find dialog -----------------------------------------------------------------------------

void AdjustmentGrid::OpenFindDialog() {
  if (!find_dialog_) {
    find_dialog_ = new FindTextDialog(this);
    find_dialog_->on_find = [this](const FindRequest& request) { return FindFromDialog(request); };
  }
  QStringList titles;
  for (int place = 0; place < model_->columnCount(); ++place) {
    titles << model_->Traits(ColumnAt(place)).title;
  }
  find_dialog_->Open(QString(), titles, PlaceOf(column_));
}

bool AdjustmentGrid::FindFromDialog(const FindRequest& request) {
  // The dialog names columns by their place on screen.
  FindRequest byColumn = request;
  for (int& column : byColumn.columns) column = ColumnAt(column);
  // Displayed and plain texts are the same for these fields, so "Match Format" changes nothing.
  const CellTextOf textOf = [this](int row, int column) { return model_->Text(row, column); };
  const std::optional<FoundCell> found =
      FindCell(textOf, model_->rowCount(), ActiveRow(), byColumn);
  if (!found) return false;
  return RunHandler(ui_, [&] {
    MoveToRow(found->row);
    SetColumn(found->column);
  });
}
