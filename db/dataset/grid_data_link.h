// TGridDataLink: the records of a data source's dataset laid out in rows, as a grid shows them.
//
// The rows are the visible records in the dataset's order and, while a record is being inserted,
// that record in the place it will take: before the current record (Insert; first when there is
// none) or after the last one (Append). Each row shows the texts of the fields named by the
// link's columns. The active row (the current record, or the one being edited or inserted) is
// read from the fields as it stands; the other rows show the texts read when the records last
// changed as a whole. The link reads them again on every such change, and only then calls its
// owner's hooks, so a hook always sees the link up to date.
//
// A column whose field the dataset lacks shows "". Reading all rows fetches every record of a
// dataset that fetches on demand. Single-threaded, like the dataset.
#pragma once

#include <string>
#include <vector>

#include "db/dataset/data_source.h"

class TGridDataLink : public TDataLink {
 public:
  // The fields the columns show, by FieldName, in column order.
  explicit TGridDataLink(std::vector<std::string> fieldNames);

  int ColumnCount() const noexcept { return static_cast<int>(field_names_.size()); }
  // The column's field in the open dataset; null when closed or when it has no such field.
  TField* Field(int column) const;

  int RowCount() const noexcept;
  // The row of the active record; -1 when there is none (closed or empty).
  int ActiveRow() const noexcept { return active_row_; }
  // The row of the record being inserted; -1 when none is.
  int InsertedRow() const noexcept { return inserted_row_; }
  // The field's display text in `row`; "" out of range.
  std::string Text(int row, int column) const;

 protected:
  // The rows are about to be replaced by `newRowCount` rows read again (RowCount and Text still
  // answer as before), and have been.
  virtual void RowsAboutToChange(int newRowCount) { (void)newRowCount; }
  virtual void RowsChanged() {}
  // The active record moved to another row, or Bof/Eof changed; the rows are the same.
  virtual void ActiveRowMoved() {}
  // A field of the active row was written.
  virtual void ActiveRowEdited(TField* field) { (void)field; }
  // Opened, closed, or began or ended editing or inserting.
  virtual void StateChanged() {}

  void ActiveChanged() override;
  void EditingChanged() override;
  void DataSetChanged() override;
  void DataSetScrolled() override;
  void RecordChanged(TField* field) override;

 private:
  struct Placing {
    int active = -1;
    int inserted = -1;
  };
  void Reload();
  // Where the active and the inserted record stand among `stored` rows read; false when the
  // visible records are no longer the ones read.
  bool Place(std::size_t stored, Placing& out) const;
  // Index into rows_ of grid row `row`; -1 for the inserted row.
  int StoredRow(int row) const noexcept;

  std::vector<std::string> field_names_;
  std::vector<std::vector<std::string>> rows_;  // the visible records' texts
  int active_row_ = -1;
  int inserted_row_ = -1;
};
