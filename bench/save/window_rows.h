// The measured path of the save benchmark: the window's data module (Talvora, TAjuste, PAjuste,
// CAjuste, as the window builds them) on an embedded database, every row of CAjuste given a new
// factor, and the save of those changes with the error limit 0.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class TPostingDataModule;

class WindowRows {
 public:
  // Opens CAjuste over the database at `path` and sets the factor of every row to what
  // `newFactor` gives for its id (scaled by 10,000). Throws on failure.
  WindowRows(const std::string& path, std::int64_t (*newFactor)(std::int32_t));
  ~WindowRows();

  std::int64_t ChangedRows() const;
  // Applies the updates with the error limit 0; answers the failed rows.
  std::int32_t Save();
  // The first statement the driver received during the save.
  const std::string& FirstStatement() const { return first_; }
  std::int64_t StatementsSent() const { return sent_; }

 private:
  std::unique_ptr<TPostingDataModule> module_;
  std::string first_;
  std::int64_t sent_ = 0;
};
