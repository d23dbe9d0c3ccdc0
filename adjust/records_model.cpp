#include "adjust/records_model.h"

#include "db/dataset/data_source.h"

RecordsModel::RecordsModel(std::vector<std::string> fieldNames, QObject* parent)
    : QAbstractTableModel(parent), field_names_(fieldNames), link_(*this, std::move(fieldNames)) {
  ReadTraits();
}

RecordsModel::~RecordsModel() {
  hooks_ = Hooks{};
  link_.SetDataSource(nullptr);
}

void RecordsModel::SetDataSource(TDataSource* source) {
  link_.SetDataSource(source);
  ReadTraits();
  emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

void RecordsModel::ReadTraits() {
  traits_.clear();
  const TDataSet* dataSet = link_.DataSet();
  for (const std::string& name : field_names_) {
    // Persistent fields are there also while the dataset is closed.
    const TField* field = dataSet ? dataSet->FindField(name) : nullptr;
    traits_.push_back(TraitsOf(field, name.c_str()));
  }
}

QString RecordsModel::Text(int row, int column) const {
  return QString::fromStdString(link_.Text(row, column));
}

int RecordsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : link_.RowCount();
}

int RecordsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : link_.ColumnCount();
}

QVariant RecordsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      return Text(index.row(), index.column());
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Traits(index.column()).alignment | Qt::AlignVCenter);
    default:
      return {};
  }
}

QVariant RecordsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Vertical || section < 0 || section >= columnCount()) return {};
  if (role == Qt::DisplayRole) return Traits(section).title;
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
  return {};
}

Qt::ItemFlags RecordsModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

void RecordsModel::RowsAboutToChange(int newRowCount) {
  if (hooks_.rows_about_to_change) hooks_.rows_about_to_change();
  const int old = rowCount();
  pending_ = Pending::kNone;
  if (newRowCount > old) {
    beginInsertRows(QModelIndex(), old, newRowCount - 1);
    pending_ = Pending::kInsert;
  } else if (newRowCount < old) {
    beginRemoveRows(QModelIndex(), newRowCount, old - 1);
    pending_ = Pending::kRemove;
  }
}

void RecordsModel::RowsChanged() {
  if (pending_ == Pending::kInsert) endInsertRows();
  if (pending_ == Pending::kRemove) endRemoveRows();
  pending_ = Pending::kNone;
  if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
  if (hooks_.rows_changed) hooks_.rows_changed();
}

void RecordsModel::ActiveRowEdited(TField* field) {
  const int row = link_.ActiveRow();
  if (row >= 0) emit dataChanged(index(row, 0), index(row, columnCount() - 1));
  if (hooks_.active_row_edited) hooks_.active_row_edited(field);
}
