// The results of a save: the error dataset that the resolver fills with one record per failed
// row and streams back as the results packet, which IDSBase::Reconcile reads.
//
// Columns: ERROR_RECORDNO (integer: the failed row's 1-based record number in the delta; for a
// modified row, the number of its modified version), ERROR_RESPONSE (integer: 1 skip, 2 abort),
// ERROR_MESSAGE (memo), ERROR_CONTEXT (memo), ERROR_CATEGORY (integer, 1), ERROR_CODE (integer),
// then the delta's columns, which may carry the row's current values read from the server.
//
// Dataset attribute APPLIED_THROUGH (integer): the save took effect (was committed) for every
// delta row up to this record number that is not named as failed; 0 or absent: for none.
#pragma once

#include <memory>

#include "data/engine/ds_base.h"

namespace engine {

inline constexpr char kErrorRecordNo[] = "ERROR_RECORDNO";
inline constexpr char kErrorResponse[] = "ERROR_RESPONSE";
inline constexpr char kErrorMessage[] = "ERROR_MESSAGE";
inline constexpr char kErrorContext[] = "ERROR_CONTEXT";
inline constexpr char kErrorCategory[] = "ERROR_CATEGORY";
inline constexpr char kErrorCode[] = "ERROR_CODE";
inline constexpr int kErrorColumnCount = 6;
inline constexpr char kAppliedThrough[] = "APPLIED_THROUGH";

// An empty error dataset shaped from `delta` (change logging off).
DSStatus CreateErrorDataset(const IDSBase& delta, std::unique_ptr<IDSBase>& out);

}  // namespace engine
