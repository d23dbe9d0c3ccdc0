// How a cached dataset settles its change log with the results of a save that reported failed
// rows: one call per failed row, shown on a copy of the delta, answered with a TReconcileAction.
#pragma once

#include <exception>
#include <functional>

#include "base/exceptions.h"
#include "data/engine/ds_base.h"
#include "data/resolver/update_types.h"

class TDataSet;

// What becomes of a failed row's change: kept for the next save (skip; abort keeps every further
// failed row too), made part of the fetched rows (merge), kept as corrected, undone (cancel), or
// undone and replaced by the server's values (refresh).
enum class TReconcileAction { raSkip, raAbort, raMerge, raCorrect, raCancel, raRefresh };

// Called for each failed row, with the failed rows shown (`dataSet` stands on the row), the
// failure, what the row did and the action, preset from the provider's answer.
using TReconcileErrorEvent = std::function<void(TDataSet& dataSet, EReconcileError& e,
                                                TUpdateKind updateKind, TReconcileAction& action)>;

// Shows a failure as the application shows any failure that leaves an event handler.
using TShowException = std::function<void(const std::exception_ptr& failure)>;

// Settles the change log of `rows` by `results` (REQUIRES: the change log is the one the save
// sent). For each failed row the action is raSkip when the provider recorded a skip and raAbort
// otherwise; `onError`, if set, may change it. A failure inside `onError` goes to `show` (if set)
// and makes the action raAbort. The rows shown to `onError` carry the display labels of the
// same-named fields of `labels`. Engine refusals are thrown as EDBClient.
void ReconcileChanges(engine::IDSBase& rows, const engine::DSPacket& results,
                      const TDataSet& labels, const TReconcileErrorEvent& onError,
                      const TShowException& show);
