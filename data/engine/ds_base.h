// The dataset engine: IDSBase (fetched rows plus a change log) and IDSCursor (a position on a
// dataset, with filters, bookmarks, row numbers and find). Single-threaded: a dataset and its
// cursors belong to one thread. Every operation answers a DSStatus; ErrorText() gives the text
// for raising EDBClient.
//
// Change log. While logging is on (the default), edits do not touch the fetched rows: the log
// keeps, per row, one net change: an inserted row (with its values), a modified row (its new
// values beside the untouched original), or a deleted fetched row. Repeated changes net out:
// insert then modify stays an insert; insert then delete leaves nothing; modify then delete is a
// delete of the original; a modify back to the original values leaves nothing.
//
// Delta. All logged changes in the order they were first made: a deleted row (attribute 2, the
// original values), an inserted row (attribute 4, its values), or a modified row as two rows, the
// original (attribute 0) followed by the changes (attribute 8) where every field equal to the
// original reads as unchanged (DSBlank::kUnchanged).
//
// Reconcile. Settles the change log after a save that reported failed rows (see
// ds_results.h). The callback is called once per failed row, in results order, and answers:
//   1 skip     the row's change stays in the log, to be sent again by the next save
//   2 abort    like skip, and no further callback is made: the remaining failed rows stay too
//   3 merge    the change becomes part of the fetched rows and leaves the log
//   4 correct  the change stays in the log (the caller has corrected it through a cursor)
//   5 cancel   the change is undone: an insert disappears, a modify or delete is reverted
//   6 refresh  as cancel, then the values the server reported for the row (if the results record
//              carries any) replace the fetched values of a modified or deleted row
// Rows the results do not name are merged when the results say the save took effect through
// them (attribute "APPLIED_THROUGH"), and otherwise kept in the log, so that a rolled-back save
// never loses a change.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/engine/ds_packet.h"
#include "data/engine/ds_record.h"
#include "data/engine/ds_types.h"

namespace engine {

class IDSCursor;

// A row test for filters and find; must not change the dataset.
using DSRowPredicate = std::function<bool(const DSRowView& row)>;
using DSFilterId = std::uint32_t;

// What reconcile tells its callback about one failed row.
struct DSReconcileInfo {
  std::uint8_t attribute = 0;  // kRowInserted, kRowModified or kRowDeleted
  std::int32_t response = 1;   // as recorded by the provider: 1 skip, 2 abort
  std::int32_t errorCode = 0;
  std::string message;
  std::string context;
  std::uint32_t deltaRecordNo = 0;  // 1-based row of the delta the failure names
  DSBookmark bookmark = 0;          // the row in this dataset
};
// Answers an action code 1..6 (see above); an exception thrown by it propagates after the rows
// already settled keep their actions and the rest stay in the log.
using DSReconcileCallback = std::function<int(const DSReconcileInfo& info)>;

class IDSBase {
 public:
  virtual ~IDSBase() = default;

  // Takes the packet's bytes over and appends its rows; the first packet fixes the columns and
  // dataset attributes, later packets must carry the same columns (kDSLayoutMismatch).
  // `endOfData` records that no further packet will come. A refused packet leaves the dataset
  // as it was (kDSBadPacket, with the reason in ErrorText).
  virtual DSStatus AppendPacket(DSPacket packet, bool endOfData) = 0;
  virtual bool EndOfData() const = 0;

  virtual const std::vector<DSColumn>& Columns() const = 0;
  virtual const std::vector<DSAttr>& Attributes() const = 0;
  // Null when absent; names compare without regard to letter case.
  virtual const DSAttr* GetAttribute(std::string_view name) const = 0;
  // Adds or replaces a dataset attribute (written with the rows when streamed).
  virtual void SetAttribute(DSAttr attr) = 0;

  // Rows that are not deleted, without regard to any cursor's filters.
  virtual std::uint32_t RowCount() const = 0;
  // Rows with a logged change.
  virtual std::uint32_t ChangeCount() const = 0;
  // Off: edits change the rows directly and leave no trace. Switching it off does not touch
  // changes already logged.
  virtual void SetChangeLogging(bool on) = 0;
  virtual bool ChangeLogging() const = 0;

  // The delta as a packet; kDSOk with an empty packet when the log is empty.
  virtual DSStatus GetDeltaPacket(DSPacket& out) const = 0;
  // The delta as a dataset of its own, change logging off.
  virtual DSStatus GetDelta(std::unique_ptr<IDSBase>& out) const = 0;
  // Every row that is not deleted, with its present values and attribute bits, as one packet
  // (rows of a delta dataset keep their attributes and unchanged markers).
  virtual DSStatus StreamPacket(DSPacket& out) const = 0;
  // Every logged change becomes part of the rows; the log is empty afterwards.
  virtual DSStatus MergeChangeLog() = 0;
  // REQUIRES: the change log is as it was when the delta behind `results` was taken.
  virtual DSStatus Reconcile(const DSPacket& results, const DSReconcileCallback& callback) = 0;
  // An empty dataset with the same columns and attributes.
  virtual DSStatus CloneStructure(std::unique_ptr<IDSBase>& out) const = 0;

  // A new cursor at Bof. The cursor must not outlive the dataset.
  virtual DSStatus CreateCursor(std::unique_ptr<IDSCursor>& out) = 0;

  // The engine's text for `status`, with the detail of this dataset's last failure when that
  // failure had this status.
  virtual std::string ErrorText(DSStatus status) const = 0;
};

class IDSCursor {
 public:
  virtual ~IDSCursor() = default;

  // Before the first / after the last visible row.
  virtual void MoveToBof() = 0;
  virtual void MoveToEof() = 0;
  // Moves to the next (+1) or previous (-1) visible row, or |n| rows. Passing the last row leaves
  // the cursor at Eof and answers kDSEof; passing the first, Bof and kDSBof.
  virtual DSStatus MoveRelative(std::int32_t n) = 0;
  virtual bool AtBof() const = 0;
  virtual bool AtEof() const = 0;

  // The current row's values, bookmark and attribute bits (kDSNoCurrentRow at Bof/Eof).
  virtual DSStatus GetCurrentRecord(DSRecord& out) const = 0;
  // One field of the current row, without copying.
  virtual DSStatus GetField(std::uint16_t fieldNo, DSValueView& out) const = 0;
  // The current row's original (fetched) value of a field; same as GetField for unchanged and
  // inserted rows.
  virtual DSStatus GetOriginalField(std::uint16_t fieldNo, DSValueView& out) const = 0;
  virtual DSStatus GetRowAttribute(std::uint8_t& out) const = 0;
  virtual DSStatus GetBookmark(DSBookmark& out) const = 0;
  // kDSBadBookmark for an unknown bookmark, kDSNotVisible for a deleted or filtered-out row;
  // the position is unchanged then.
  virtual DSStatus MoveToBookmark(DSBookmark bookmark) = 0;
  // 1-based position among the visible rows.
  virtual DSStatus GetRecordNumber(std::uint32_t& out) const = 0;
  virtual DSStatus MoveToRecordNumber(std::uint32_t recordNo) = 0;
  // Visible rows: not deleted and passing every filter of this cursor.
  virtual DSStatus GetRecordCount(std::uint32_t& out) const = 0;

  // A blank record (every field null) shaped for this dataset.
  virtual void InitRecord(DSRecord& out) const = 0;
  // The cursor never stays on a row its filters hide: when an insert or modify leaves the row
  // outside them, the row it wrote leaves the view as a deleted one does: the next visible row
  // becomes current, else the previous one, else the cursor is at Eof.
  //
  // Inserts before the current row (at the end when at Eof or Bof); the new row becomes current.
  // A blank or foreign record is refused (kDSBadValue).
  virtual DSStatus InsertRecord(const DSRecord& record) = 0;
  // Replaces the current row's values. A row the filters hide is refused (kDSNotVisible).
  virtual DSStatus ModifyRecord(const DSRecord& record) = 0;
  // Deletes the current row; the next visible row becomes current, else the previous one, else
  // the cursor is at Eof. A row the filters hide is refused (kDSNotVisible).
  virtual DSStatus DeleteRecord() = 0;
  // Undoes the logged change of the current row (an inserted row disappears as if deleted).
  virtual DSStatus RevertRecord() = 0;

  // Filters limit moves, counts, row numbers and find. Adding or dropping one leaves the cursor
  // at Bof.
  virtual DSStatus AddFilter(DSRowPredicate filter, DSFilterId& id) = 0;
  virtual DSStatus DropFilter(DSFilterId id) = 0;
  // From the first visible row, the first that satisfies `test` becomes current; kDSNotFound
  // leaves the position unchanged.
  virtual DSStatus FindFirst(const DSRowPredicate& test) = 0;
};

// A new, empty dataset; its columns come with the first packet.
std::unique_ptr<IDSBase> CreateDSBase();
// A new, empty dataset with the given columns (kDSBadColumns when they are unusable).
DSStatus CreateDSBase(std::vector<DSColumn> columns, std::vector<DSAttr> attrs,
                      std::unique_ptr<IDSBase>& out);

}  // namespace engine
