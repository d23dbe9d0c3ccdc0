#include "db/dataset/grid_data_link.h"

TGridDataLink::TGridDataLink(std::vector<std::string> fieldNames)
    : field_names_(std::move(fieldNames)) {}

TField* TGridDataLink::Field(int column) const {
  TDataSet* dataSet = DataSet();
  if (!Active() || !dataSet || column < 0 || column >= ColumnCount()) return nullptr;
  return dataSet->FindField(field_names_[static_cast<std::size_t>(column)]);
}

int TGridDataLink::RowCount() const noexcept {
  return static_cast<int>(rows_.size()) + (inserted_row_ >= 0 ? 1 : 0);
}

int TGridDataLink::StoredRow(int row) const noexcept {
  if (inserted_row_ < 0 || row < inserted_row_) return row;
  return row == inserted_row_ ? -1 : row - 1;
}

std::string TGridDataLink::Text(int row, int column) const {
  if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount()) return "";
  if (row == active_row_) {
    const TField* field = Field(column);
    return field ? field->DisplayText() : "";
  }
  const int stored = StoredRow(row);
  if (stored < 0) return "";
  return rows_[static_cast<std::size_t>(stored)][static_cast<std::size_t>(column)];
}

void TGridDataLink::Reload() {
  RowsAboutToChange();
  rows_.clear();
  if (TDataSet* dataSet = Active() ? DataSet() : nullptr) {
    std::vector<TField*> fields;
    for (int c = 0; c < ColumnCount(); ++c) fields.push_back(Field(c));
    dataSet->ForEachRecord([&](std::int64_t) {
      std::vector<std::string>& texts = rows_.emplace_back();
      for (const TField* field : fields) texts.push_back(field ? field->DisplayText() : "");
      return true;
    });
  }
  PlaceActiveRow();
  RowsChanged();
}

bool TGridDataLink::PlaceActiveRow() {
  active_row_ = inserted_row_ = -1;
  const TDataSet* dataSet = Active() ? DataSet() : nullptr;
  if (!dataSet) return true;
  const auto stored = static_cast<std::int64_t>(rows_.size());
  const std::int64_t recNo = dataSet->RecNo();
  if (recNo > stored) return false;
  if (dataSet->State() == TDataSetState::dsInsert) {
    inserted_row_ = static_cast<int>(dataSet->Appending() ? stored : recNo > 0 ? recNo - 1 : 0);
    active_row_ = inserted_row_;
  } else if (recNo > 0) {
    active_row_ = static_cast<int>(recNo - 1);
  }
  return true;
}

void TGridDataLink::ActiveChanged() {
  Reload();
  StateChanged();
}

void TGridDataLink::EditingChanged() {
  // The rows follow with the change of the records that comes with an insert, post or cancel.
  StateChanged();
}

void TGridDataLink::DataSetChanged() {
  Reload();
}

void TGridDataLink::DataSetScrolled() {
  if (!PlaceActiveRow()) return Reload();
  ActiveRowMoved();
}

void TGridDataLink::RecordChanged(TField* field) {
  ActiveRowEdited(field);
}
