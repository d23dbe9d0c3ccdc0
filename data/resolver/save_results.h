// SaveResults: the results of one save, the error dataset the engine shapes from the delta
// (data/engine/ds_results.h) with one record per failed row, streamed as the results packet.
//
// Engine refusals are thrown as EDBClient. Single-threaded; lives as long as the save.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "data/engine/ds_base.h"
#include "data/resolver/update_types.h"

class SaveResults {
 public:
  // `delta` must outlive this object.
  explicit SaveResults(const engine::IDSBase& delta);
  ~SaveResults();

  bool Empty() const { return recordOf_.empty(); }

  // Records that the delta row `recordNo` (1-based; the modified version of a modified row)
  // failed with `message`, answered with `response` (rrSkip or rrAbort). `serverValues`, if
  // given, is a record shaped like the delta holding the values the server has for the row; null
  // fields are left null. A second failure of the same row replaces its first record.
  void Record(std::uint32_t recordNo, TResolverResponse response, const std::string& message,
              std::int32_t errorCode, const engine::DSRecord* serverValues);

  // The results packet; the save took effect for every delta row up to `appliedThrough` that is
  // not recorded as failed (0: for none).
  engine::DSPacket Stream(std::uint32_t appliedThrough);

 private:
  void Check(engine::DSStatus status) const;

  const engine::IDSBase& delta_;
  std::unique_ptr<engine::IDSBase> errors_;
  std::unique_ptr<engine::IDSCursor> cursor_;
  std::map<std::uint32_t, engine::DSBookmark> recordOf_;  // delta record number -> error record
};
