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
  std::vector<std::vector<std::string>> rows;
  if (TDataSet* dataSet = Active() ? DataSet() : nullptr) {
    std::vector<TField*> fields;
    for (int c = 0; c < ColumnCount(); ++c) fields.push_back(Field(c));
    dataSet->ForEachRecord([&](std::int64_t) {
      std::vector<std::string>& texts = rows.emplace_back();
      for (const TField* field : fields) texts.push_back(field ? field->DisplayText() : "");
      return true;
    });
  }
  Placing placing;
  Place(rows.size(), placing);
  RowsAboutToChange(static_cast<int>(rows.size()) + (placing.inserted >= 0 ? 1 : 0));
  rows_ = std::move(rows);
  active_row_ = placing.active;
  inserted_row_ = placing.inserted;
  RowsChanged();
}

bool TGridDataLink::Place(std::size_t stored, Placing& out) const {
  out = Placing{};
  const TDataSet* dataSet = Active() ? DataSet() : nullptr;
  if (!dataSet) return true;
  const std::int64_t recNo = dataSet->RecNo();
  if (recNo > static_cast<std::int64_t>(stored)) return false;
  if (dataSet->State() == TDataSetState::dsInsert) {
    out.inserted = static_cast<int>(dataSet->Appending() ? static_cast<std::int64_t>(stored)
                                    : recNo > 0          ? recNo - 1
                                                         : 0);
    out.active = out.inserted;
  } else if (recNo > 0) {
    out.active = static_cast<int>(recNo - 1);
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
  Placing placing;
  if (!Place(rows_.size(), placing) || placing.inserted != inserted_row_) return Reload();
  active_row_ = placing.active;
  ActiveRowMoved();
}

void TGridDataLink::RecordChanged(TField* field) {
  ActiveRowEdited(field);
}
