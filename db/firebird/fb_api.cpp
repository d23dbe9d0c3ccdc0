#include "db/firebird/fb_api.h"

#include "db/firebird/fb_lock_folder.h"

namespace {

template <typename Fn>
bool Resolve(const DynamicLibrary& library, const char* name, Fn& fn, std::string& missing) {
  fn = reinterpret_cast<Fn>(library.Symbol(name));
  if (!fn && missing.empty()) missing = name;
  return fn != nullptr;
}

}  // namespace

std::shared_ptr<const FbApi> FbApi::Load(std::string_view vendorLib, std::string& error) {
  auto api = std::make_shared<FbApi>();
  // The embedded engine reads its lock folder when it starts, inside the client library.
  UsePrivateLockFolder();
  api->library_ = DynamicLibrary::Load(vendorLib, &error);
  if (!api->library_) return nullptr;
  const DynamicLibrary& lib = *api->library_;
  std::string missing;
  Resolve(lib, "isc_attach_database", api->attach_database, missing);
  Resolve(lib, "isc_detach_database", api->detach_database, missing);
  Resolve(lib, "isc_start_multiple", api->start_multiple, missing);
  Resolve(lib, "isc_commit_transaction", api->commit_transaction, missing);
  Resolve(lib, "isc_commit_retaining", api->commit_retaining, missing);
  Resolve(lib, "isc_rollback_transaction", api->rollback_transaction, missing);
  Resolve(lib, "isc_dsql_allocate_statement", api->dsql_allocate_statement, missing);
  Resolve(lib, "isc_dsql_prepare", api->dsql_prepare, missing);
  Resolve(lib, "isc_dsql_describe", api->dsql_describe, missing);
  Resolve(lib, "isc_dsql_describe_bind", api->dsql_describe_bind, missing);
  Resolve(lib, "isc_dsql_execute2", api->dsql_execute2, missing);
  Resolve(lib, "isc_dsql_fetch", api->dsql_fetch, missing);
  Resolve(lib, "isc_dsql_free_statement", api->dsql_free_statement, missing);
  Resolve(lib, "isc_dsql_sql_info", api->dsql_sql_info, missing);
  Resolve(lib, "isc_open_blob2", api->open_blob2, missing);
  Resolve(lib, "isc_create_blob2", api->create_blob2, missing);
  Resolve(lib, "isc_get_segment", api->get_segment, missing);
  Resolve(lib, "isc_put_segment", api->put_segment, missing);
  Resolve(lib, "isc_blob_info", api->blob_info, missing);
  Resolve(lib, "isc_close_blob", api->close_blob, missing);
  Resolve(lib, "isc_vax_integer", api->vax_integer, missing);
  Resolve(lib, "fb_interpret", api->interpret, missing);
  if (!missing.empty()) {
    error = lib.Path() + ": missing " + missing;
    return nullptr;
  }
  return api;
}

std::string FbApi::StatusText(const ISC_STATUS* status) const {
  std::string text;
  const ISC_STATUS* cursor = status;
  char line[1024];
  while (interpret(line, sizeof line, &cursor) > 0) {
    if (!text.empty()) text += '\n';
    text += line;
  }
  return text;
}
