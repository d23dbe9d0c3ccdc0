#include "db/dataset/data_source.h"

#include <algorithm>

// ---- TDataLink -------------------------------------------------------------------------------

TDataLink::~TDataLink() {
  if (source_) source_->RemoveLink(this);
}

void TDataLink::SetDataSource(TDataSource* source) {
  if (source == source_) return;
  if (source_) source_->RemoveLink(this);
  source_ = source;
  if (source_) source_->AddLink(this);
  CheckActiveAndEditing();
}

TDataSet* TDataLink::DataSet() const noexcept {
  return source_ ? source_->DataSet() : nullptr;
}

void TDataLink::CheckActiveAndEditing() {
  const TDataSet* dataSet = DataSet();
  const bool active = dataSet && dataSet->Active();
  const bool editing = active && (dataSet->State() == TDataSetState::dsEdit ||
                                  dataSet->State() == TDataSetState::dsInsert);
  if (active != active_) {
    active_ = active;
    ActiveChanged();
  }
  if (editing != editing_) {
    editing_ = editing;
    EditingChanged();
  }
}

void TDataLink::DataEvent(TDataEvent event, TField* field) {
  CheckActiveAndEditing();
  switch (event) {
    case TDataEvent::deUpdateState:
      return;
    case TDataEvent::deDataSetChange:
      return DataSetChanged();
    case TDataEvent::deDataSetScroll:
      return DataSetScrolled();
    case TDataEvent::deFieldChange:
      return RecordChanged(field);
    case TDataEvent::deUpdateRecord:
      return UpdateData();
  }
}

// ---- TDataSource -----------------------------------------------------------------------------

TDataSource::TDataSource(TComponent* owner) : TComponent(owner) {}

TDataSource::~TDataSource() {
  SetDataSet(nullptr);
  // The links stay alive; they only lose their source.
  for (TDataLink* link : std::vector<TDataLink*>(links_)) link->SetDataSource(nullptr);
}

void TDataSource::SetDataSet(TDataSet* dataSet) {
  if (dataSet == data_set_) return;
  if (data_set_) std::erase(data_set_->data_sources_, this);
  data_set_ = dataSet;
  if (data_set_) data_set_->data_sources_.push_back(this);
  NotifyLinksOfStateChange();
}

TDataSetState TDataSource::State() const noexcept {
  return data_set_ ? data_set_->State() : TDataSetState::dsInactive;
}

void TDataSource::AddLink(TDataLink* link) {
  links_.push_back(link);
}

void TDataSource::RemoveLink(TDataLink* link) {
  std::erase(links_, link);
}

void TDataSource::DataEvent(TDataEvent event, TField* field) {
  // A link may detach links (its own or others) while it hears the event.
  const std::vector<TDataLink*> links = links_;
  for (TDataLink* link : links) {
    if (std::find(links_.begin(), links_.end(), link) != links_.end()) {
      link->DataEvent(event, field);
    }
  }
}

void TDataSource::DataSetGone() {
  data_set_ = nullptr;
  NotifyLinksOfStateChange();
}

void TDataSource::NotifyLinksOfStateChange() {
  DataEvent(TDataEvent::deUpdateState, nullptr);
  DataEvent(TDataEvent::deDataSetChange, nullptr);
}
