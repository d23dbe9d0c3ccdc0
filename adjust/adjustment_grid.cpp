#include "adjust/adjustment_grid.h"

#include <QApplication>
#include <QPainter>
#include <string>
#include <vector>

#include "adjust/cell_delegate.h"
#include "adjust/date_cell_editor.h"
#include "adjust/find_dialog.h"
#include "adjust/records_model.h"
#include "db/dataset/data_source.h"
#include "errors/default_error_display.h"
#include "ui/ui_services.h"

namespace {

std::vector<std::string> GridFieldNames() {
  std::vector<std::string> names;
  for (const char* name : AdjustmentGridFields()) names.emplace_back(name);
  return names;
}

}  // namespace

AdjustmentGrid::AdjustmentGrid(UiServices& ui, const FormatSettings& settings, QWidget* parent)
    : QTableView(parent), ui_(ui), settings_(settings) {
  model_ = new RecordsModel(GridFieldNames(), this);
  model_->SetHooks({
      // Another record may stand in the current row afterwards: the cell is left.
      .rows_about_to_change = [this] { CloseEditor(); },
      .rows_changed = [this] { RowsChanged(); },
      .active_row_moved = [this] { ActiveRowMoved(); },
      .active_row_edited = [this](TField* field) { ActiveRowEdited(field); },
      .state_changed = [this] { StateChanged(); },
      .update_data = [this] { WriteEditorText(); },
  });

  auto* titles = new TitleHeader(this);
  titles->on_press = [this] { setFocus(Qt::MouseFocusReason); };
  setHorizontalHeader(titles);
  auto* indicator = new IndicatorHeader(this);
  indicator->glyph_of = [this](int row) {
    return row == ActiveRow() ? CurrentGlyph() : IndicatorGlyph::kNone;
  };
  indicator->on_press = [this](int row) {
    setFocus(Qt::MouseFocusReason);
    if (row >= 0) RunHandler(ui_, [&] { MoveToRow(row); });
  };
  setVerticalHeader(indicator);
  setModel(model_);
  // Presses on the headers make no selection and move no current cell of their own.
  disconnect(titles, &QHeaderView::sectionPressed, this, nullptr);
  disconnect(titles, &QHeaderView::sectionEntered, this, nullptr);
  disconnect(indicator, &QHeaderView::sectionPressed, this, nullptr);
  disconnect(indicator, &QHeaderView::sectionEntered, this, nullptr);

  delegate_ = new CellDelegate(
      {
          .highlighted = [this](const QModelIndex& index) { return Highlighted(index); },
          .search_matched =
              [this](const QModelIndex& index) {
                const bool current = index.row() == ActiveRow() && index.column() == column_;
                return searching_ && current ? static_cast<int>(search_text_.size()) : 0;
              },
          .create_editor = [this](QWidget* parent,
                                  const QModelIndex& index) { return CreateEditor(parent, index); },
      },
      this);
  setItemDelegate(delegate_);

  setSelectionMode(QAbstractItemView::NoSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setTabKeyNavigation(false);
  setSortingEnabled(false);
  setCornerButtonEnabled(false);
  setWordWrap(false);
  setTextElideMode(Qt::ElideNone);
  setShowGrid(true);
  setDragEnabled(false);
  setAutoScroll(false);
  setFocusPolicy(Qt::StrongFocus);
  setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  setContextMenuPolicy(Qt::NoContextMenu);
  indicator->setDefaultSectionSize(RowHeight());
  indicator->setMinimumSectionSize(RowHeight());
  titles->setFixedHeight(RowHeight());

  connect(qApp, &QApplication::focusChanged, this, &AdjustmentGrid::FocusChanged);
}

AdjustmentGrid::~AdjustmentGrid() {
  disconnect(qApp, &QApplication::focusChanged, this, nullptr);
  model_->SetHooks({});
  model_->SetDataSource(nullptr);
}

void AdjustmentGrid::SetDataSource(TDataSource* source) {
  model_->SetDataSource(source);
  for (int c = 0; c < model_->columnCount(); ++c) {
    setColumnWidth(c, DefaultColumnWidth(fontMetrics(), model_->Traits(c).width_chars));
  }
  SyncCurrentIndex();
}

int AdjustmentGrid::RowHeight() const {
  return fontMetrics().height() + 4;
}

int AdjustmentGrid::VisibleRowCount() const {
  return qMax(1, viewport()->height() / RowHeight());
}

// ---- following the dataset ---------------------------------------------------------------

TDataSet* AdjustmentGrid::Data() const {
  TDataSet* data = model_->DataSet();
  return data && data->Active() ? data : nullptr;
}

TField* AdjustmentGrid::Field(int column) const {
  return model_->Link().Field(column);
}

int AdjustmentGrid::ActiveRow() const {
  return model_->Link().ActiveRow();
}

IndicatorGlyph AdjustmentGrid::CurrentGlyph() const {
  const TDataSet* data = Data();
  if (!data || ActiveRow() < 0) return IndicatorGlyph::kNone;
  if (searching_) return IndicatorGlyph::kSearch;
  switch (data->State()) {
    case TDataSetState::dsEdit:
      return IndicatorGlyph::kEdit;
    case TDataSetState::dsInsert:
      return IndicatorGlyph::kInsert;
    default:
      return IndicatorGlyph::kBrowse;
  }
}

void AdjustmentGrid::RowsChanged() {
  if (!search_moving_) StopSearch();
  SyncCurrentIndex();
}

void AdjustmentGrid::ActiveRowMoved() {
  SyncCurrentIndex();
}

void AdjustmentGrid::ActiveRowEdited(TField* field) {
  // A value written by other means than typing shows in the open editor.
  if (editor_ && !editor_modified_ && field == Field(column_)) {
    editor_->setText(QString::fromStdString(field->DisplayText()));
  }
}

void AdjustmentGrid::StateChanged() {
  if (!Data()) {
    CloseEditor();
    StopSearch();
  }
  verticalHeader()->viewport()->update();
  viewport()->update();
}

void AdjustmentGrid::SyncCurrentIndex() {
  const int row = ActiveRow();
  if (editor_ && editor_row_ != row) CloseEditor();
  const QModelIndex target = row >= 0 ? model_->index(row, column_) : QModelIndex();
  if (target != currentIndex()) {
    if (!search_moving_) StopSearch();
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::NoUpdate);
  }
  if (target.isValid()) scrollTo(target);
  verticalHeader()->viewport()->update();
  viewport()->update();
}

bool AdjustmentGrid::Highlighted(const QModelIndex& index) const {
  if (index.row() != ActiveRow() || index.column() != column_) return false;
  return Contains(QApplication::focusWidget());
}

// ---- moving the current cell ---------------------------------------------------------------

void AdjustmentGrid::MoveToRow(int row) {
  TDataSet* data = Data();
  if (!data || row == ActiveRow()) return;
  const int rowsBefore = model_->rowCount();
  const int activeBefore = ActiveRow();
  // Posting or dropping the pending row may take it out of the rows: those after it move up.
  data->CheckBrowseMode();
  if (model_->rowCount() < rowsBefore && activeBefore >= 0 && row > activeBefore) --row;
  if (row != ActiveRow()) data->MoveBy(row - ActiveRow());
}

void AdjustmentGrid::MoveRowsBy(int distance) {
  if (TDataSet* data = Data()) data->MoveBy(distance);
}

void AdjustmentGrid::SetColumn(int column) {
  if (column == column_ || column < 0 || column >= model_->columnCount()) return;
  WriteEditorText();
  CloseEditor();
  column_ = column;
  if (!search_moving_) StopSearch();
  SyncCurrentIndex();
}

int AdjustmentGrid::ColumnAt(int visual) const {
  return horizontalHeader()->logicalIndex(visual);
}

int AdjustmentGrid::PlaceOf(int column) const {
  return horizontalHeader()->visualIndex(column);
}

int AdjustmentGrid::TopVisibleRow() const {
  return qMax(0, rowAt(0));
}

int AdjustmentGrid::BottomVisibleRow() const {
  const int last = model_->rowCount() - 1;
  int row = rowAt(viewport()->height() - 1);
  if (row < 0) return last;
  // Only a row shown whole counts.
  if (rowViewportPosition(row) + rowHeight(row) > viewport()->height() && row > TopVisibleRow()) {
    --row;
  }
  return row;
}

// ---- the cell editor -------------------------------------------------------------------------

QWidget* AdjustmentGrid::CreateEditor(QWidget* parent, const QModelIndex& index) {
  const ColumnTraits& traits = model_->Traits(index.column());
  CellEditor* editor = nullptr;
  if (traits.editor == CellEditorKind::kDate) {
    editor = new DateCellEditor(*this, settings_, parent);
  } else {
    const TFieldType type = traits.type;
    const char separator = settings_.DecimalSeparator;
    editor = new CellEditor(
        *this, [type, separator](QChar c) { return AcceptsCharacter(type, c, separator); }, parent);
  }
  editor->setAlignment(traits.alignment | Qt::AlignVCenter);
  editor->setFont(font());
  editor_ = editor;
  editor_row_ = index.row();
  editor_modified_ = false;
  return editor;
}

void AdjustmentGrid::OpenEditor() {
  const int row = ActiveRow();
  if (row < 0) return;
  if (!editor_) {
    SyncCurrentIndex();
    edit(model_->index(row, column_), QAbstractItemView::AllEditTriggers, nullptr);
  }
  if (auto* editor = qobject_cast<CellEditor*>(editor_.data())) {
    editor->setFocus(Qt::OtherFocusReason);
    editor->SelectWhole();
  }
}

void AdjustmentGrid::CloseEditor() {
  if (editor_) closeEditor(editor_, QAbstractItemDelegate::NoHint);
}

void AdjustmentGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  if (editor == editor_) {
    editor_ = nullptr;
    editor_row_ = -1;
    editor_modified_ = false;
  }
  QTableView::closeEditor(editor, hint);
}

void AdjustmentGrid::WriteEditorText() {
  if (!editor_ || !editor_modified_) return;
  TField* field = Field(column_);
  if (!field) return;
  field->SetText(editor_->text().toStdString());
  editor_modified_ = false;
}

bool AdjustmentGrid::TextEdited() {
  if (editor_modified_) return true;
  TDataSet* data = Data();
  if (!data) return false;
  if (!RunHandler(ui_, [data] { data->Edit(); })) return false;
  if (data->State() != TDataSetState::dsEdit && data->State() != TDataSetState::dsInsert) {
    return false;
  }
  editor_modified_ = true;
  return true;
}

void AdjustmentGrid::CharacterRefused() {
  ui_.Beep();
}

void AdjustmentGrid::HandOverKey(QKeyEvent& event) {
  Key(event);
}

// ---- focus -----------------------------------------------------------------------------------

bool AdjustmentGrid::Contains(const QWidget* widget) const {
  for (const QWidget* w = widget; w; w = w->parentWidget()) {
    if (w == this) return true;
  }
  return false;
}

void AdjustmentGrid::FocusChanged(QWidget* old, QWidget* now) {
  const bool wasInside = Contains(old);
  const bool isInside = Contains(now);
  if (wasInside != isInside) viewport()->update();
  if (!wasInside || isInside) return;
  // Leaving counts when another control of the window takes the focus, or when the grid is
  // hidden inside a window that stays; not when the window itself goes or loses activation.
  const bool leaving = now ? now->window() == window() : !isVisible() && window()->isVisible();
  if (leaving) Exit();
}

void AdjustmentGrid::Exit() {
  const bool done = RunHandler(ui_, [this] {
    TDataSet* data = Data();
    if (!data) return;
    if (data->State() == TDataSetState::dsInsert && !data->Modified() && !editor_modified_) {
      data->Cancel();
    } else {
      WriteEditorText();
    }
  });
  if (!done && isVisible()) setFocus(Qt::OtherFocusReason);
}

// ---- painting and visibility -----------------------------------------------------------------

void AdjustmentGrid::paintEvent(QPaintEvent* event) {
  QTableView::paintEvent(event);
  // The column lines go on below the last row, down to the bottom of the grid.
  const int rows = model_->rowCount();
  const int top = rows > 0 ? rowViewportPosition(rows - 1) + rowHeight(rows - 1) : 0;
  if (top >= viewport()->height()) return;
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  const auto color =
      static_cast<QRgb>(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this));
  QPainter painter(viewport());
  painter.setPen(QColor::fromRgba(color));
  for (int visual = 0; visual < model_->columnCount(); ++visual) {
    const int column = ColumnAt(visual);
    const int x = columnViewportPosition(column) + columnWidth(column) - 1;
    painter.drawLine(x, top, x, viewport()->height());
  }
}

void AdjustmentGrid::showEvent(QShowEvent* event) {
  QTableView::showEvent(event);
  StopSearch();
  SyncCurrentIndex();
}

void AdjustmentGrid::hideEvent(QHideEvent* event) {
  StopSearch();
  QTableView::hideEvent(event);
}
