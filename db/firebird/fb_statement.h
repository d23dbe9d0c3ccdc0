// FbStatement: one prepared statement of an attachment, shared by the command that made it and the
// cursor of its latest execution.
//
// A statement run outside the session's explicit transaction runs in a transaction of its own
// (ownTransaction), ended by Finish: a plain statement right after it ran, a select when its cursor
// reaches the end or is released. Each execution bumps `generation`, so a cursor of an earlier
// execution knows it no longer owns the rows.
#pragma once

#include <ibase.h>

#include <memory>
#include <string>
#include <vector>

#include "db/firebird/fb_session.h"
#include "db/firebird/fb_sqlda.h"

class FbStatement {
 public:
  explicit FbStatement(std::shared_ptr<FbSession> session);
  ~FbStatement();
  FbStatement(const FbStatement&) = delete;
  FbStatement& operator=(const FbStatement&) = delete;

  FbSession& Session() const { return *session_; }
  const FbApi& Api() const { return *session_->api; }
  bool Attached() const { return session_->db != 0; }

  // The transaction statements of this execution run in: the explicit one or the own one.
  isc_tr_handle* Transaction() {
    return session_->transaction ? &session_->transaction : &ownTransaction;
  }

  // Closes an open cursor and ends the own transaction, committing or rolling back. On failure
  // returns false with the server's text in `error`; the transaction is gone either way.
  bool Finish(bool commit, std::string& error);
  // Finishes (committing) and frees the statement handle. The session calls it before detaching.
  void Drop();

  isc_stmt_handle handle = 0;
  std::string text;  // as prepared
  int statementType = 0;
  Sqlda in;
  // The parameters as the server described them; binding rewrites the entries of `in`.
  struct Described {
    short type = 0;  // without the nullable bit
    short subtype = 0;
    short scale = 0;
  };
  std::vector<Described> inDescribed;
  Sqlda out;
  std::vector<ColumnShape> shapes;
  std::vector<std::string> names;
  std::vector<bool> readOnly;
  isc_tr_handle ownTransaction = 0;
  bool cursorOpen = false;
  int generation = 0;

 private:
  std::shared_ptr<FbSession> session_;
};
