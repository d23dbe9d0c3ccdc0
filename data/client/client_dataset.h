// TClientDataSet: a dataset that holds its rows in memory, fetched packet by packet from a
// provider of the same owner, with a log of the changes made to them until they are saved.
//
// It is a TDataSet: state, Bof/Eof, moves, the fields and the protected steps of edit, post and
// delete under their error events come from there. This class adds the source: the provider
// link, the rows and change log of the dataset engine with the one cursor the dataset moves
// over them, fetching further packets on demand, the filter and locate compiled as expressions,
// and apply updates: the delta handed to the provider, and the change log settled by what the save
// reports (merged when every row was written, reconciled row by row otherwise).
//
// Fields are either persistent (added before opening, bound by name to the packet's columns at
// every open) or created one per packet column at open and dropped at close. Field values are
// the engine's native bytes, which are the fields' own (db/dataset/field_type.h).
//
// Single-threaded; lives on the thread of its owner.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "base/currency.h"
#include "base/date_time.h"
#include "data/client/fetched_rows.h"
#include "data/client/provider_link.h"
#include "data/client/reconcile_errors.h"
#include "data/engine/ds_record.h"
#include "data/expr/filter_options.h"
#include "db/dataset/dataset.h"
#include "db/dataset/params.h"

enum class TLocateOption { loCaseInsensitive = 1, loPartialKey = 2 };

// A value searched for by Locate: null, an integer, a floating number, a fixed-point value, a
// date (TDateTime) or a text.
struct TLocateDate {
  TDateTime Value = 0;
};
using TLocateValue =
    std::variant<std::monostate, std::int64_t, double, Currency, TLocateDate, std::string>;

class TClientDataSet : public TDataSet {
 public:
  explicit TClientDataSet(TComponent* owner = nullptr);
  ~TClientDataSet() override;

  // Name of the provider, looked up among the components of this dataset's owner.
  std::string ProviderName;
  // Rows per packet; -1 asks for all rows at once, 0 fetches nothing after the first packet.
  // Changed while open, it acts from the next request on.
  std::int32_t PacketRecords = -1;
  // Whether a move past the last fetched row, Last, a filter or a locate fetches further packets
  // by itself. Changed while open, it acts from the next request on.
  bool FetchOnDemand = true;
  // Options of the filter's text comparisons.
  TFilterOptions FilterOptions = 0;
  // Called for each row a save reports as failed (see reconcile_errors.h).
  TReconcileErrorEvent OnReconcileError;
  // Shows a failure inside OnReconcileError as the application shows any failure that leaves an
  // event handler; the window sets it. Without it such a failure is not shown.
  TShowException ShowException;

  const std::string& CommandText() const { return commandText_; }
  // Stores the text and rebuilds Params from it (one per name after a colon, outside quotes);
  // acts at the next open.
  void SetCommandText(std::string text);
  // The parameters of the command text; their values travel with the first request of an open.
  TParams& Params() { return params_; }
  const TParams& Params() const { return params_; }

  // On a closed dataset these only store; on an open one with filtering on, a new filter is
  // compiled and installed at once (after posting a pending edit and fetching every row) and the
  // first visible row becomes current.
  const std::string& Filter() const { return filter_; }
  void SetFilter(std::string text);
  bool Filtered() const { return filtered_; }
  void SetFiltered(bool on);

  // Replaces the link the dataset talks to its provider through (tests count its requests).
  void SetAppServer(std::unique_ptr<IAppServer> appServer) {
    link_.SetAppServer(std::move(appServer));
  }

  // Rows held in memory, visible or not; changes in the log.
  std::int64_t RowsInMemory() const;
  std::int64_t ChangeCount() const;

  // Makes current the first visible row whose key fields ("A;B") hold `values` (one per field);
  // false leaves the current row where it was. Fetches every row first.
  // REQUIRES: Active().
  bool Locate(std::string_view keyFields, const std::vector<TLocateValue>& values,
              std::uint32_t options = 0);

  // Saves the change log through the provider with an error limit (-1: none); answers the number
  // of failed rows. A pending edit is posted first (cancelled when unchanged); an empty log
  // answers 0 without contacting the provider. Changes the save wrote and kept leave the log;
  // every other change stays in it, as it was, for the next save. A failure of the save as a
  // whole is thrown (EOleException from the provider) and leaves the log as it was.
  // REQUIRES: Active().
  std::int32_t ApplyUpdates(std::int32_t maxErrors);
  // The change log as the delta a save sends; empty when there is no change. REQUIRES: Active().
  engine::DSPacket Delta() const;

  bool CanModify() const override;

 protected:
  void InternalOpen() override;
  void InternalFieldsReady() override;
  void InternalClose() override;
  TGetResult InternalFirst() override;
  TGetResult InternalNext() override;
  TGetResult InternalPrior() override;
  TGetResult InternalLast() override;
  std::int64_t GetRecordCount() override;
  std::int64_t GetRecNo() const override;
  void VisitRecords(const std::function<bool()>& visit) override;
  bool GetFieldData(const TField& field, TFieldData& out) const override;
  void SetFieldData(const TField& field, const void* data, std::uint32_t size) override;
  void InternalEdit() override;
  void InternalInsert(bool append) override;
  TGetResult InternalPost() override;
  void InternalCancel() override;
  TGetResult InternalDelete() override;

 private:
  void InstallFilter();
  void RefilterOpen();
  std::vector<std::uint8_t> Compile(const std::string& text, TFilterOptions options,
                                    bool extended) const;
  // Reads the cursor's row into the buffer; false when the cursor stands on none.
  bool ReadCurrent();
  bool Attribute(const char* name) const;
  TPacketData Request(std::int32_t count, std::int32_t& recsOut, std::int32_t options,
                      std::string_view commandText, bool withParams = false);

  std::string commandText_;
  TParams params_;
  std::string filter_;
  bool filtered_ = false;

  ProviderLink link_;
  std::unique_ptr<FetchedRows> rows_;
  engine::DSRecord buffer_;   // the current row, or the row being edited or inserted
  engine::DSRecord visited_;  // the row VisitRecords shows the fields
  bool visiting_ = false;
  // The value GetFieldData handed out last: a decimal is widened into it, and its bytes must
  // outlive the call.
  mutable engine::DSValueView fieldView_;
  bool hasRow_ = false;
  bool appending_ = false;  // the row being inserted goes after the last row
  bool destroying_ = false;
};
