// TClientDataSet: a dataset that holds its rows in memory, fetched packet by packet from a
// provider of the same owner, with a log of the changes made to them until they are saved.
//
// Offers open and close, moves (First, Next, Prior, Last, fetching further packets on demand),
// Bof/Eof, the empty test, a filter and locate compiled as expressions, edit, insert, post,
// delete and cancel (each failing step under its error event), and apply updates up to the hand-
// over of the delta to the provider.
//
// Fields are either declared before opening (persistent fields, bound by name to the packet's
// columns) or created one per column at open and dropped at close. Values are the engine's native
// bytes (see data/engine/ds_types.h); typed accessors cover the types this program uses.
//
// Single-threaded; lives on the thread of its owner.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "base/component.h"
#include "base/currency.h"
#include "base/date_time.h"
#include "base/exceptions.h"
#include "base/format_settings.h"
#include "data/client/fetched_rows.h"
#include "data/client/provider_link.h"
#include "data/engine/ds_record.h"
#include "data/expr/filter_options.h"
#include "db/dataset/field_type.h"

enum class TLocateOption { loCaseInsensitive = 1, loPartialKey = 2 };

class TClientDataSet;
using TClientDataSetErrorEvent =
    std::function<void(TClientDataSet& dataSet, EDatabaseError& e, TDataAction& action)>;

// A field of the cached dataset: its column's name and engine type, and what the dataset checks.
struct TClientField {
  std::string FieldName;
  engine::DSType DataType = engine::DSType::kInteger;
  std::uint32_t Size = 0;
  bool Required = false;
  bool ReadOnly = false;
  std::string DisplayLabel;   // empty: shows as FieldName
  std::uint16_t FieldNo = 0;  // 1-based column of the packet; 0 until bound

  const std::string& Label() const { return DisplayLabel.empty() ? FieldName : DisplayLabel; }
};

// A value searched for by Locate: null, an integer, a floating number, a fixed-point value, a
// date (TDateTime) or a text.
struct TLocateDate {
  TDateTime Value = 0;
};
using TLocateValue =
    std::variant<std::monostate, std::int64_t, double, Currency, TLocateDate, std::string>;

class TClientDataSet : public TComponent {
 public:
  explicit TClientDataSet(TComponent* owner = nullptr);
  ~TClientDataSet() override;

  // Settings.
  std::string ProviderName;
  std::int32_t PacketRecords = -1;
  bool FetchOnDemand = true;
  TFilterOptions FilterOptions = 0;
  FormatSettings Settings;  // writes and reads dates and numbers of filters and locates
  TClientDataSetErrorEvent OnEditError, OnPostError, OnDeleteError;

  const std::string& CommandText() const { return commandText_; }
  // Stores the text and rebuilds the parameter names from it; acts at the next open.
  void SetCommandText(std::string text);
  // Names of the parameters of the command text (every colon followed by a name, outside quotes).
  const std::vector<std::string>& ParamNames() const { return paramNames_; }

  const std::string& Filter() const { return filter_; }
  void SetFilter(std::string text);
  bool Filtered() const { return filtered_; }
  void SetFiltered(bool on);

  // Persistent fields, in order. REQUIRES: the dataset is closed.
  void AddField(TClientField field);
  const std::vector<TClientField>& Fields() const { return fields_; }
  // Null when no field has that name (ignoring case).
  const TClientField* FindField(std::string_view name) const;

  // Replaces the link the dataset talks to its provider through (tests count its requests).
  void SetAppServer(std::unique_ptr<IAppServer> appServer) {
    link_.SetAppServer(std::move(appServer));
  }

  TDataSetState State() const { return state_; }
  bool Active() const { return state_ != TDataSetState::dsInactive; }
  void Open();
  void Close();

  bool Bof() const { return bof_; }
  bool Eof() const { return eof_; }
  bool IsEmpty() const;
  void First();
  void Next();
  void Prior();
  void Last();
  // Visible rows, after fetching all.
  std::int64_t RecordCount();
  // Rows held in memory, visible or not.
  std::int64_t RowsInMemory() const;
  std::int64_t ChangeCount() const;

  bool Locate(std::string_view keyFields, const std::vector<TLocateValue>& values,
              std::uint32_t options = 0);

  void Edit();
  void Insert();
  void Post();
  void Cancel();
  void Delete();
  // Answers the number of failed rows.
  std::int32_t ApplyUpdates(std::int32_t maxErrors);

  // Values of the current row (the edited values while editing or inserting).
  bool IsNull(std::string_view field) const;
  std::int32_t AsInteger(std::string_view field) const;
  Currency AsCurrency(std::string_view field) const;
  TDateTime AsDate(std::string_view field) const;
  std::string AsString(std::string_view field) const;
  // REQUIRES: editing or inserting; the field must not be read-only.
  void SetInteger(std::string_view field, std::int32_t value);
  void SetCurrency(std::string_view field, Currency value);
  void SetDate(std::string_view field, TDateTime value);
  void SetString(std::string_view field, std::string_view value);
  void SetNull(std::string_view field);

 private:
  const TClientField& FieldByName(std::string_view name) const;
  engine::DSValueView Value(std::string_view field) const;
  void PutValue(std::string_view field, const void* data, std::uint32_t size);
  void CheckActive() const;
  void CheckBrowseMode();
  void RunProtected(const std::function<void()>& step, const TClientDataSetErrorEvent& event);
  void DoOpen();
  void BindFields();
  void InstallFilter();
  std::vector<std::uint8_t> Compile(const std::string& text, TFilterOptions options,
                                    bool extended) const;
  void ReadCurrent();
  bool Modifiable() const;
  bool Attribute(const char* name) const;
  TPacketData Request(std::int32_t count, std::int32_t& recsOut, std::int32_t options,
                      std::string_view commandText);

  std::string commandText_;
  std::vector<std::string> paramNames_;
  std::string filter_;
  bool filtered_ = false;
  std::vector<TClientField> fields_;
  std::size_t persistentCount_ = 0;
  bool persistent_ = false;

  ProviderLink link_;
  std::unique_ptr<FetchedRows> rows_;
  TDataSetState state_ = TDataSetState::dsInactive;
  engine::DSRecord buffer_;  // the current row, or the row being edited or inserted
  bool hasRow_ = false;
  bool modified_ = false;
  bool bof_ = true;
  bool eof_ = true;
  bool destroying_ = false;
};

// Parameter names of a command text: every ":" followed by a name, outside quotes.
std::vector<std::string> ParamNamesOf(std::string_view text);
