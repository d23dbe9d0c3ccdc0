#include "db/firebird/fb_statement.h"

#include <algorithm>

FbStatement::FbStatement(std::shared_ptr<FbSession> session) : session_(std::move(session)) {
  session_->statements.push_back(this);
}

FbStatement::~FbStatement() {
  Drop();
  auto& list = session_->statements;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

bool FbStatement::Finish(bool commit, std::string& error) {
  ISC_STATUS status[ISC_STATUS_LENGTH];
  bool ok = true;
  if (cursorOpen) {
    cursorOpen = false;
    // The cursor may already be closed by the server at its end; that is not a failure.
    if (handle) Api().dsql_free_statement(status, &handle, DSQL_close);
  }
  if (ownTransaction) {
    if (commit && Api().commit_transaction(status, &ownTransaction)) {
      error = Api().StatusText(status);
      ok = false;
    }
    if (ownTransaction) {
      ISC_STATUS ignored[ISC_STATUS_LENGTH];
      Api().rollback_transaction(ignored, &ownTransaction);
      ownTransaction = 0;
    }
  }
  return ok;
}

void FbStatement::Drop() {
  std::string ignored;
  Finish(true, ignored);
  if (handle) {
    ISC_STATUS status[ISC_STATUS_LENGTH];
    if (Attached()) Api().dsql_free_statement(status, &handle, DSQL_drop);
    handle = 0;
  }
  ++generation;
}
