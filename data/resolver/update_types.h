// The vocabulary of a save: what a row of it does, how the statements find a row, and what a
// provider's update-error event answers.
#pragma once

// What a row of a save does.
enum class TUpdateKind { ukModify, ukInsert, ukDelete };

// Which columns the where clause of an update or delete names: those marked for it, those marked
// for it that the row changed (and the key), or the key alone.
enum class TUpdateMode { upWhereAll, upWhereChanged, upWhereKeyOnly };

// Answers of a provider's OnUpdateError: skip the row, abort the save, retry the row over the
// server's current values merged with its changes or with its changes applied, or take the row
// as done.
enum class TResolverResponse { rrSkip, rrAbort, rrMerge, rrApply, rrIgnore };
