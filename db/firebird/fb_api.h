// FbApi: the calls of the Firebird client library, resolved at run time from the library the
// driver was asked to use. Nothing in the driver links against the client library; every call goes
// through these pointers. Shared (std::shared_ptr) by every object of one driver, so the library
// stays loaded until the last of them is gone.
#pragma once

#include <ibase.h>

#include <memory>
#include <string>
#include <string_view>

#include "db/driver/dynamic_library.h"

struct FbApi {
  decltype(&isc_attach_database) attach_database = nullptr;
  decltype(&isc_detach_database) detach_database = nullptr;
  decltype(&isc_start_multiple) start_multiple = nullptr;
  decltype(&isc_commit_transaction) commit_transaction = nullptr;
  decltype(&isc_commit_retaining) commit_retaining = nullptr;
  decltype(&isc_rollback_transaction) rollback_transaction = nullptr;
  decltype(&isc_dsql_allocate_statement) dsql_allocate_statement = nullptr;
  decltype(&isc_dsql_prepare) dsql_prepare = nullptr;
  decltype(&isc_dsql_describe) dsql_describe = nullptr;
  decltype(&isc_dsql_describe_bind) dsql_describe_bind = nullptr;
  decltype(&isc_dsql_execute2) dsql_execute2 = nullptr;
  decltype(&isc_dsql_fetch) dsql_fetch = nullptr;
  decltype(&isc_dsql_free_statement) dsql_free_statement = nullptr;
  decltype(&isc_dsql_sql_info) dsql_sql_info = nullptr;
  decltype(&isc_open_blob2) open_blob2 = nullptr;
  decltype(&isc_create_blob2) create_blob2 = nullptr;
  decltype(&isc_get_segment) get_segment = nullptr;
  decltype(&isc_put_segment) put_segment = nullptr;
  decltype(&isc_blob_info) blob_info = nullptr;
  decltype(&isc_close_blob) close_blob = nullptr;
  decltype(&isc_vax_integer) vax_integer = nullptr;
  decltype(&fb_interpret) interpret = nullptr;

  // Loads `vendorLib` (through the alias table) and resolves every call. Returns null with a reason
  // in `error` when the library is missing or lacks a call.
  static std::shared_ptr<const FbApi> Load(std::string_view vendorLib, std::string& error);

  // The server's text of a failure status: the lines it interprets to, joined by "\n".
  std::string StatusText(const ISC_STATUS* status) const;

 private:
  std::unique_ptr<DynamicLibrary> library_;
};
