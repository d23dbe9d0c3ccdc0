// RecordsModel: the records of a data source as a table model, one row per grid row of a
// TGridDataLink (the visible records, and the one being inserted in its place), one column per
// field shown. Display and edit texts are the fields' texts; titles and alignments are the
// columns'. Vertical header sections carry no text: the view draws the row indicator there.
//
// The model never writes: whoever edits writes typed text into the fields itself, so that a
// conversion that fails stays in its hands. It owns its link and hands what the dataset does to
// the owner's hooks after the model has told the views.
//
// Lives on the user-interface thread.
#pragma once

#include <QAbstractTableModel>
#include <functional>
#include <string>
#include <vector>

#include "adjust/grid_columns.h"
#include "db/dataset/grid_data_link.h"

class TDataSource;

class RecordsModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // What the owner hears, after the views have been told.
  struct Hooks {
    std::function<void()> rows_about_to_change;      // rows are about to be read again
    std::function<void()> rows_changed;              // rows read again
    std::function<void()> active_row_moved;          // the current record moved
    std::function<void(TField*)> active_row_edited;  // a field of the active row was written
    std::function<void()> state_changed;             // opened, closed, editing began or ended
    std::function<void()> update_data;               // write typed text now; may throw
  };

  RecordsModel(std::vector<std::string> fieldNames, QObject* parent = nullptr);
  ~RecordsModel() override;

  void SetHooks(Hooks hooks) { hooks_ = std::move(hooks); }
  // Follows `source` (null: none); the columns take their traits from its dataset's fields.
  void SetDataSource(TDataSource* source);
  const TGridDataLink& Link() const { return link_; }
  // The dataset of the source; null without one.
  TDataSet* DataSet() const { return link_.DataSet(); }
  const ColumnTraits& Traits(int column) const {
    return traits_.at(static_cast<std::size_t>(column));
  }
  QString Text(int row, int column) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  class Follower;

  void ReadTraits();
  void RowsAboutToChange(int newRowCount);
  void RowsChanged();
  void ActiveRowEdited(TField* field);

  std::vector<std::string> field_names_;
  std::vector<ColumnTraits> traits_;
  // How the rows change between the two link hooks.
  enum class Pending { kNone, kInsert, kRemove } pending_ = Pending::kNone;
  Hooks hooks_;

  class Follower final : public TGridDataLink {
   public:
    Follower(RecordsModel& model, std::vector<std::string> names)
        : TGridDataLink(std::move(names)), model_(model) {}

   protected:
    void RowsAboutToChange(int newRowCount) override { model_.RowsAboutToChange(newRowCount); }
    void RowsChanged() override { model_.RowsChanged(); }
    void ActiveRowMoved() override { Call(model_.hooks_.active_row_moved); }
    void ActiveRowEdited(TField* field) override { model_.ActiveRowEdited(field); }
    void StateChanged() override { Call(model_.hooks_.state_changed); }
    void UpdateData() override { Call(model_.hooks_.update_data); }

   private:
    static void Call(const std::function<void()>& hook) {
      if (hook) hook();
    }
    RecordsModel& model_;
  };
  Follower link_;
};
