// FbSession: the state of one attachment that the connection shares with its commands and cursors:
// the database and explicit-transaction handles and the settings that shape transactions.
//
// Owned through std::shared_ptr by the connection and every command made from it, so a command
// that outlives its connection finds the handles cleared instead of dangling.
//
// While an explicit transaction lasts, an insert, update or delete statement whose command is
// closed stays prepared, kept by its text, and the next command that prepares the same text takes
// it over instead of preparing it again: a save runs one such statement per row, most of them
// with one text. The kept statements are dropped when the transaction ends and before detaching,
// so nothing stays prepared between saves.
#pragma once

#include <ibase.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/firebird/fb_api.h"

class FbStatement;

struct FbSession {
  std::shared_ptr<const FbApi> api;
  isc_db_handle db = 0;
  isc_tr_handle transaction = 0;  // the explicit transaction, 0 when none is active
  int dialect = 3;
  int isolation = 0;  // 0 read committed, 1 repeatable read, 2 dirty read (read as committed)
  bool waitOnLocks = true;
  bool commitRetain = false;
  bool trimChar = false;  // fixed-length text is read without its padding blanks
  // Declared precision of NUMERIC/DECIMAL columns, by "relation\x01column".
  std::map<std::string, int> precisions;
  // Statements prepared on this attachment; each is dropped before it detaches.
  std::vector<FbStatement*> statements;
  // Prepared statements no command uses (see above); few, so looked up by their text in turn.
  std::vector<std::shared_ptr<FbStatement>> idle;

  // Transaction parameters for an isolation level and the session's lock setting.
  std::vector<char> TransactionParameters(int isolation) const;
  // Starts a transaction into `*tr` with `isolation` (the session's when -1). REQUIRES: db != 0,
  // *tr == 0.
  ISC_STATUS Start(ISC_STATUS* status, isc_tr_handle* tr, int isolation = -1) const;

  // Keeps `statement`, prepared from `text`, for the next command preparing that text, if it may
  // be taken over: an insert, update or delete with nothing open, while an explicit transaction
  // is active. Otherwise it is simply released.
  void KeepPrepared(std::shared_ptr<FbStatement> statement);
  // A kept statement prepared from `text`, now the caller's; null when there is none.
  std::shared_ptr<FbStatement> TakePrepared(std::string_view text);
  // Releases every kept statement.
  void DropPrepared() { idle.clear(); }
};
