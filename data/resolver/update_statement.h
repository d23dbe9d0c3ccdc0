// The statements of a save: one INSERT, UPDATE or DELETE per changed row, built from the delta's
// columns as text lines each ending in CR LF, with "?" for every parameter and the parameters in
// the order of the "?" marks.
//
// A column takes part in the column list of an insert and the set list of an update when it is
// marked pfInUpdate, of a known type other than auto-increment, not read-only, hidden or
// server-calculated, and the row gave it a value (not the unchanged marker). It takes part in the
// where clause when it is of a known type other than a blob or memo, not server-calculated, its
// values take under 8192 bytes, and by the update mode: upWhereAll, marked pfInWhere;
// upWhereChanged, marked pfInKey, or pfInWhere and changed by the row; upWhereKeyOnly, marked
// pfInKey. An old null value is matched with "is null", without a parameter.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/engine/ds_types.h"
#include "data/resolver/update_types.h"
#include "db/dataset/field_type.h"
#include "db/sql/sql_statement.h"

// A column of the delta as the statements use it.
struct ResolveColumn {
  std::string name;  // in SQL: the column part of its origin ("TABLE.COLUMN"), else its own name
  TFieldType fieldType = TFieldType::ftUnknown;
  std::uint32_t dataSize = 0;  // bytes a value takes
  TProviderFlags flags = pfInUpdate | pfInWhere;
  bool readOnly = false;
  bool serverCalc = false;
};

// The columns of a delta with their items "PROVFLAGS", "ORIGIN" and "SERVER_CALC"; a hidden
// column counts as pfHidden.
std::vector<ResolveColumn> ResolveColumnsOf(const std::vector<engine::DSColumn>& columns);

// The values of the row a statement is for, by 0-based column.
class RowValues {
 public:
  // Before the change; null for an inserted row.
  virtual engine::DSValueView Old(std::uint16_t column) const = 0;
  // After the change; the unchanged marker for a column a modified row left alone, and for every
  // column of a deleted row.
  virtual engine::DSValueView New(std::uint16_t column) const = 0;

 protected:
  ~RowValues() = default;
};

// A statement and its parameters. `shape` records what the text was built for, so that the next
// row of the same shape keeps the text and only takes new parameters.
struct SQLText {
  std::string text;
  std::vector<SQLParamValue> params;
  std::string shape;
};

class StatementBuilder {
 public:
  // `quotedTable` is the table name as the statements write it (REQUIRES: not empty); `quote`
  // encloses every column name (empty: names stand bare).
  StatementBuilder(std::vector<ResolveColumn> columns, std::string quote, std::string quotedTable,
                   TUpdateMode mode);

  const std::vector<ResolveColumn>& Columns() const { return columns_; }
  // Marks the columns named in `keys` (ignoring case) pfInKey, unless some column is a key already.
  void MarkKeys(const std::vector<std::string>& keys);

  void Insert(const RowValues& row, SQLText& out) const;
  // An empty text when no column takes part in the set list.
  void Update(const RowValues& row, SQLText& out) const;
  void Delete(const RowValues& row, SQLText& out) const;
  // Reads the row's present values: the where-clause columns (their numbers go to `selected`),
  // restricted by the key columns alone.
  void SelectCurrent(const RowValues& row, SQLText& out,
                     std::vector<std::uint16_t>& selected) const;
  // The last three throw EDatabaseError "Unable to find record.  No key specified" when no column
  // takes part in the where clause.

 private:
  static constexpr char kInsert = 'I', kUpdate = 'U', kDelete = 'D', kSelect = 'S';

  bool InSetList(const ResolveColumn& c, const engine::DSValueView& newValue) const;
  bool InWhere(const ResolveColumn& c, const engine::DSValueView& newValue, TUpdateMode mode) const;
  void AppendName(std::string& line, const ResolveColumn& c) const;
  // What the statement of `kind` holds for `row`, into `shape` (see the .cpp).
  void Shape(char kind, const RowValues& row, std::string& shape) const;
  void Build(char kind, const RowValues& row, SQLText& out) const;
  // The text of an insert and the where clause, from shape_.
  void AppendInsert(std::string& text) const;
  void AppendWhere(std::string& text) const;

  std::vector<ResolveColumn> columns_;
  std::string quote_;
  std::string table_;
  TUpdateMode mode_;
  mutable std::string shape_;  // the shape of the row being built
};
