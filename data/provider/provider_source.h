// ProviderSource: what a provider needs of its SQL dataset, in the provider's own terms: open,
// close, rewind, read forward, the column descriptions and the native bytes of the current row's
// values, and taking over a command text or parameters. Implemented over TDataSet by
// MakeProviderSource; tests give their own.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/engine/ds_types.h"
#include "data/engine/ds_writer.h"

class TDataSet;

class ProviderSource {
 public:
  virtual ~ProviderSource() = default;

  virtual bool Active() const = 0;
  virtual void Open() = 0;
  virtual void Close() = 0;
  // Back to the first row (re-running the statement of a forward-only dataset that has moved).
  virtual void First() = 0;
  virtual void Next() = 0;
  virtual bool Eof() const = 0;
  // Posts a pending edit, or cancels it when nothing was changed.
  virtual void CheckBrowseMode() = 0;

  // Takes `text` as the dataset's command text unless it equals the present one.
  // Throws "Cannot perform this operation on an open dataset" when it differs and the dataset is
  // open.
  virtual void SetCommandText(std::string_view text) = 0;
  // The packed parameters; replacing different ones closes the dataset.
  virtual void SetParams(const std::vector<std::uint8_t>& packed) = 0;
  virtual std::vector<std::uint8_t> GetParams() const = 0;

  // Column descriptions, in column order.
  // REQUIRES: Active().
  virtual std::vector<engine::DSColumn> Columns() const = 0;
  // Writes the current row's values, one per column, into `writer` (a row is started already).
  // REQUIRES: Active() && !Eof().
  virtual void PutRow(engine::IDSWriter& writer) const = 0;
  // The connection's locale number, written as "LCID".
  virtual std::int64_t LocaleCode() const = 0;
};

// The provider's view of `dataSet`, which must outlive it.
std::unique_ptr<ProviderSource> MakeProviderSource(TDataSet& dataSet);
