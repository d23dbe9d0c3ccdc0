// TDataSource and TDataLink: how controls follow a dataset.
//
// A data source joins one dataset to any number of data links. A link is the part of a control
// (a grid, a navigator) that hears what happens to the dataset: it opened or closed, its state
// changed, its records changed, the current record moved, a field of the active record was
// written, or a post (or a move that posts) is about to take the active record, so that a control
// must first write into the fields what the user typed into it. The dataset tells its data
// sources and each source tells its links, in the order they were attached, synchronously.
//
// A link hears ActiveChanged before anything else once the dataset opened or closed (also when
// the link is attached to or detached from an open dataset), and EditingChanged once editing or
// inserting began or ended. UpdateData may throw: the post or move that asked for it then fails
// with that exception and nothing has moved.
//
// Lifetime: a source lets go of its dataset when either is destroyed, and of its links likewise;
// a link whose source went is inactive. Single-threaded, like the datasets.
#pragma once

#include <vector>

#include "base/component.h"
#include "db/dataset/dataset.h"

class TDataSource;

class TDataLink {
 public:
  TDataLink() = default;
  virtual ~TDataLink();

  TDataLink(const TDataLink&) = delete;
  TDataLink& operator=(const TDataLink&) = delete;

  TDataSource* DataSource() const noexcept { return source_; }
  // Attaches to `source` (null detaches); the link hears ActiveChanged when that changes whether
  // it sees an open dataset.
  void SetDataSource(TDataSource* source);
  // The source's dataset; null without one.
  TDataSet* DataSet() const noexcept;
  // Whether the dataset is open.
  bool Active() const noexcept { return active_; }
  // Whether the dataset is editing or inserting.
  bool Editing() const noexcept { return editing_; }

 protected:
  virtual void ActiveChanged() {}
  virtual void EditingChanged() {}
  // The records changed as a whole: read them again.
  virtual void DataSetChanged() {}
  // The current record moved (Bof and Eof may have changed with it).
  virtual void DataSetScrolled() {}
  // `field` of the active record was written.
  virtual void RecordChanged(TField* field) { (void)field; }
  // Write into the fields what the user typed and has not handed over yet.
  virtual void UpdateData() {}

 private:
  friend class TDataSource;

  void DataEvent(TDataEvent event, TField* field);
  // Fires ActiveChanged and EditingChanged for what differs from what the link saw last.
  void CheckActiveAndEditing();

  TDataSource* source_ = nullptr;
  bool active_ = false;
  bool editing_ = false;
};

class TDataSource : public TComponent {
 public:
  explicit TDataSource(TComponent* owner = nullptr);
  ~TDataSource() override;

  TDataSet* DataSet() const noexcept { return data_set_; }
  // Links to `dataSet` (null: none); the links hear the change.
  void SetDataSet(TDataSet* dataSet);
  // The dataset's state; dsInactive without one.
  TDataSetState State() const noexcept;

 private:
  friend class TDataLink;
  friend class TDataSet;

  void AddLink(TDataLink* link);
  void RemoveLink(TDataLink* link);
  // From the dataset: hands the event to every link.
  void DataEvent(TDataEvent event, TField* field);
  // From the dataset's destructor.
  void DataSetGone();
  void NotifyLinksOfStateChange();

  TDataSet* data_set_ = nullptr;
  std::vector<TDataLink*> links_;
};
