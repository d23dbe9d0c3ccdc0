// The control functions of the test driver library: scripted result codes and error texts per
// operation, option values to answer, the columns of the rows a select returns, and a log of the
// calls the layer made. Load the library by its path and look these names up in it.
#pragma once

extern "C" {
// Forgets every script, column, row and logged call.
using FakeResetFn = void (*)();
// The next call of `operation` answers `code` and leaves `text` (may be empty) as the failed
// object's error message. Operations: "entry", "getSQLConnection", "connect", "getSQLMetaData",
// "getOption", "getSQLCommand", "setOption", "prepare", "setParameter", "execute",
// "getRowsAffected", "getColumnCount", "next", "beginTransaction", "commit", "rollback".
using FakeFailFn = void (*)(const char* operation, int code, const char* text);
// The value an integer option read answers (connection or metadata option `option`).
using FakeSetIntOptionFn = void (*)(int option, int value);
// Appends a result column; a select (any text beginning with "select" after blanks, ignoring case)
// returns a cursor with these columns.
using FakeAddColumnFn = void (*)(const char* name, int type, int subType, int length, int precision,
                                 int scale);
// Rows of the select: each next() gives one more row of the values 1, 2, ... in every column that
// is a number; `rows` of them.
using FakeSetRowsFn = void (*)(int rows);
// What getRowsAffected answers.
using FakeSetRowsAffectedFn = void (*)(int rows);
// What the next getRowsAffected answers, after those queued before; once the queue is used up,
// the value set above.
using FakeQueueRowsAffectedFn = void (*)(int rows);
// The calls so far, one line each, e.g. "setOption 4 1", "setTextOption 3 RoleName",
// "connect loc|user|pw". Valid until the next call into the library.
using FakeLogFn = const char* (*)();
}
