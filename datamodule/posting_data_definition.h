// The definition of the main window's non-visual components: the company connection
// `Talvora` as stored with the window, then the SQL datasets, providers and cached datasets of
// its four data chains in creation order (the order the error-handling wiring walks them).
#pragma once

#include <span>

#include "data/provider/provider_options.h"

// A database connection as stored with the window: driver, libraries, switches and the
// parameter lines ("Name=Value") in their order.
struct ConnectionDefinition {
  const char* name;
  const char* driver_name;
  const char* library_name;
  const char* get_driver_func;
  const char* vendor_lib;
  bool login_prompt;
  bool keep_connection;  // not connected at start
  std::span<const char* const> params;
};

// What a data component of the window is.
enum class DataComponentKind {
  kSQLQuery,       // SQL dataset running its SQL text
  kSQLTable,       // SQL dataset reading a whole table
  kProvider,       // packs an SQL dataset's rows for a cached dataset
  kClientDataSet,  // cached dataset fed by a provider
  kDataSource,     // links a dataset to the controls that show it
};

enum class FieldClass { kInteger, kDate, kFMTBCD };

// A persistent field of a cached dataset. Its component is named after the dataset and the
// field ("CAjusteAJCI_ID").
struct FieldDefinition {
  const char* field_name;
  FieldClass field_class;
  const char* display_label;  // "": shows as its field name
  bool required;
  int precision;  // decimals: total digits; 0 otherwise
  int size;       // decimals: digits after the point; 0 otherwise
};

// A data component after `Talvora`, in creation order. `source` names, among the window's
// components, what the component works on: the connection of an SQL dataset, the SQL dataset of
// a provider, the provider of a cached dataset (its ProviderName), the dataset of a data source.
struct DataComponentDefinition {
  const char* name;
  DataComponentKind kind;
  const char* source;
  const char* text;          // query: SQL; table: TableName; cached dataset: CommandText
  TProviderOptions options;  // provider
  bool get_metadata;         // table
  std::span<const FieldDefinition> fields;  // cached dataset: its persistent fields
};

// The company connection `Talvora`.
const ConnectionDefinition& TalvoraDefinition();

// The datasets and providers of the window's four data chains, created after `Talvora`.
std::span<const DataComponentDefinition> PostingFormDataComponents();
