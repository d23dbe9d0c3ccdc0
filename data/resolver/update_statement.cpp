#include "data/resolver/update_statement.h"

#include "base/exceptions.h"
#include "base/text.h"
#include "data/fields/packet_field_types.h"
#include "db/sql/sql_params.h"

using engine::DSBlank;
using engine::DSType;
using engine::DSValueView;

namespace {

constexpr char kSNoKey[] = "Unable to find record.  No key specified";
constexpr char kLineEnd[] = "\r\n";
// Values this large are not compared in a where clause.
constexpr std::uint32_t kLargestWhereValue = 8192;

std::uint32_t DataSizeOf(const engine::DSColumn& c) {
  switch (c.type) {
    case DSType::kText:
      return c.size + 1;  // the characters and their terminating zero
    case DSType::kBytes:
      return c.size;
    case DSType::kBlob:
    case DSType::kMemo:
      return 0;
    default:
      return engine::FixedTypeSize(c.type);
  }
}

// Sets the next parameter of `out`, the `n`th; a save reuses the parameters (and their buffers)
// of the statement before.
void AddParam(SQLText& out, std::size_t& n, const ResolveColumn& c, const DSValueView& v) {
  if (n == out.params.size()) out.params.emplace_back();
  const bool value = v.blank == DSBlank::kValue;
  AssignNativeParam(out.params[n++], c.fieldType, value ? v.data : nullptr, value ? v.size : 0);
}

// Drops the last `n` characters of `text` when it ends with `tail`.
void DropTail(std::string& text, std::string_view tail) {
  if (text.ends_with(tail)) text.resize(text.size() - tail.size());
}

}  // namespace

std::vector<ResolveColumn> ResolveColumnsOf(const std::vector<engine::DSColumn>& columns) {
  std::vector<ResolveColumn> out;
  out.reserve(columns.size());
  for (const engine::DSColumn& column : columns) {
    ResolveColumn c;
    c.name = column.name;
    if (const engine::DSAttr* origin = engine::FindAttr(column.items, "ORIGIN")) {
      if (const auto* text = std::get_if<std::string>(&origin->value); text && !text->empty()) {
        const std::size_t dot = text->rfind('.');
        c.name = dot == std::string::npos ? *text : text->substr(dot + 1);
      }
    }
    c.fieldType = FieldTypeOfColumn(column);
    c.dataSize = DataSizeOf(column);
    if (const engine::DSAttr* flags = engine::FindAttr(column.items, "PROVFLAGS")) {
      if (const auto* n = std::get_if<std::int64_t>(&flags->value)) {
        c.flags = static_cast<TProviderFlags>(*n);
      }
    }
    if (column.attrs & engine::kColHidden) c.flags |= pfHidden;
    c.readOnly = (column.attrs & engine::kColReadOnly) != 0;
    if (const engine::DSAttr* calc = engine::FindAttr(column.items, "SERVER_CALC")) {
      const auto* on = std::get_if<bool>(&calc->value);
      c.serverCalc = on == nullptr || *on;
    }
    out.push_back(std::move(c));
  }
  return out;
}

StatementBuilder::StatementBuilder(std::vector<ResolveColumn> columns, std::string quote,
                                   std::string quotedTable, TUpdateMode mode)
    : columns_(std::move(columns)),
      quote_(std::move(quote)),
      table_(std::move(quotedTable)),
      mode_(mode) {}

void StatementBuilder::MarkKeys(const std::vector<std::string>& keys) {
  for (const ResolveColumn& c : columns_) {
    if (c.flags & pfInKey) return;
  }
  for (ResolveColumn& c : columns_) {
    for (const std::string& key : keys) {
      if (SameText(c.name, key)) c.flags |= pfInKey;
    }
  }
}

bool StatementBuilder::InSetList(const ResolveColumn& c, const DSValueView& newValue) const {
  return (c.flags & pfInUpdate) && (c.flags & pfHidden) == 0 && !c.readOnly && !c.serverCalc &&
         c.fieldType != TFieldType::ftUnknown && c.fieldType != TFieldType::ftAutoInc &&
         newValue.blank != DSBlank::kUnchanged;
}

bool StatementBuilder::InWhere(const ResolveColumn& c, const DSValueView& newValue,
                               TUpdateMode mode) const {
  if (c.serverCalc || c.fieldType == TFieldType::ftUnknown || c.fieldType == TFieldType::ftBlob ||
      c.fieldType == TFieldType::ftMemo || c.dataSize >= kLargestWhereValue) {
    return false;
  }
  switch (mode) {
    case TUpdateMode::upWhereAll:
      return (c.flags & pfInWhere) != 0;
    case TUpdateMode::upWhereChanged:
      return (c.flags & pfInKey) ||
             ((c.flags & pfInWhere) && newValue.blank != DSBlank::kUnchanged);
    case TUpdateMode::upWhereKeyOnly:
      return (c.flags & pfInKey) != 0;
  }
  return false;
}

void StatementBuilder::AppendName(std::string& line, const ResolveColumn& c) const {
  line.append(quote_).append(c.name).append(quote_);
}

// A shape is the statement's kind, then two characters per column: 'L' when the column is in the
// column, set or select list ('-' otherwise), and '=' when the where clause compares it with a
// value, 'N' when with null ('-' when it is not there).
void StatementBuilder::Shape(char kind, const RowValues& row, std::string& shape) const {
  shape.assign(1, kind);
  for (std::uint16_t i = 0; i < columns_.size(); ++i) {
    const ResolveColumn& c = columns_[i];
    const DSValueView changedTo = row.New(i);
    bool listed = false;
    TUpdateMode whereMode = mode_;
    switch (kind) {
      case kInsert:
      case kUpdate:
        listed = InSetList(c, changedTo);
        break;
      case kSelect:
        listed = InWhere(c, changedTo, mode_);
        whereMode = TUpdateMode::upWhereKeyOnly;
        break;
      default:
        break;
    }
    char where = '-';
    if (kind != kInsert && InWhere(c, changedTo, whereMode)) {
      where = row.Old(i).blank == DSBlank::kNull ? 'N' : '=';
    }
    shape += listed ? 'L' : '-';
    shape += where;
  }
}

void StatementBuilder::Build(char kind, const RowValues& row, SQLText& out) const {
  Shape(kind, row, shape_);
  const std::size_t columns = columns_.size();
  bool listed = false, where = false;
  for (std::size_t i = 0; i < columns; ++i) {
    listed = listed || shape_[1 + 2 * i] == 'L';
    where = where || shape_[2 + 2 * i] != '-';
  }
  // A row that gives nothing to write: no statement.
  if (kind == kUpdate && !listed) {
    out.text.clear();
    out.params.clear();
    out.shape = shape_;
    return;
  }
  if (kind != kInsert && !where) DatabaseError(kSNoKey);
  if (kind == kSelect && !listed) DatabaseError(kSNoKey);
  // Parameters: the listed columns' new values, then the old values compared in the where clause.
  std::size_t n = 0;
  for (std::uint16_t i = 0; i < columns; ++i) {
    if (shape_[1 + 2 * i] == 'L' && kind != kSelect) AddParam(out, n, columns_[i], row.New(i));
  }
  for (std::uint16_t i = 0; i < columns; ++i) {
    if (shape_[2 + 2 * i] == '=') AddParam(out, n, columns_[i], row.Old(i));
  }
  out.params.resize(n);
  // Rows of one shape share their text: most rows of a save are alike.
  if (out.shape == shape_) return;
  out.shape = shape_;
  out.text.clear();
  switch (kind) {
    case kInsert:
      AppendInsert(out.text);
      return;
    case kUpdate:
      out.text.append("update ").append(table_).append("  set").append(kLineEnd);
      for (std::uint16_t i = 0; i < columns; ++i) {
        if (shape_[1 + 2 * i] != 'L') continue;
        out.text += ' ';
        AppendName(out.text, columns_[i]);
        out.text.append(" = ?,").append(kLineEnd);
      }
      out.text.resize(out.text.size() - 3);  // the last "," and its line end
      out.text.append(kLineEnd);
      break;
    case kDelete:
      out.text.append("delete from ").append(table_).append(" ").append(kLineEnd);
      break;
    case kSelect:
      out.text.append("select ");
      for (std::uint16_t i = 0; i < columns; ++i) {
        if (shape_[1 + 2 * i] != 'L') continue;
        AppendName(out.text, columns_[i]);
        out.text.append(", ");
      }
      DropTail(out.text, ", ");
      out.text.append(" from ").append(table_).append(kLineEnd);
      break;
  }
  AppendWhere(out.text);
}

void StatementBuilder::AppendInsert(std::string& text) const {
  std::string names = "  (";
  std::string marks = "  (";
  for (std::uint16_t i = 0; i < columns_.size(); ++i) {
    if (shape_[1 + 2 * i] != 'L') continue;
    AppendName(names, columns_[i]);
    names.append(", ");
    marks.append("?, ");
  }
  DropTail(names, ", ");
  DropTail(marks, ", ");
  text.append("insert into ").append(table_).append(kLineEnd);
  text.append(names).append(")").append(kLineEnd);
  text.append("values").append(kLineEnd);
  text.append(marks).append(")").append(kLineEnd);
}

void StatementBuilder::AppendWhere(std::string& text) const {
  text.append("where").append(kLineEnd);
  for (std::uint16_t i = 0; i < columns_.size(); ++i) {
    const char where = shape_[2 + 2 * i];
    if (where == '-') continue;
    text += ' ';
    AppendName(text, columns_[i]);
    text.append(where == 'N' ? " is null and" : " = ? and").append(kLineEnd);
  }
  text.resize(text.size() - 2);
  DropTail(text, " and");
  text.append(kLineEnd);
}

void StatementBuilder::Insert(const RowValues& row, SQLText& out) const {
  Build(kInsert, row, out);
}

void StatementBuilder::Update(const RowValues& row, SQLText& out) const {
  Build(kUpdate, row, out);
}

void StatementBuilder::Delete(const RowValues& row, SQLText& out) const {
  Build(kDelete, row, out);
}

void StatementBuilder::SelectCurrent(const RowValues& row, SQLText& out,
                                     std::vector<std::uint16_t>& selected) const {
  Build(kSelect, row, out);
  selected.clear();
  for (std::uint16_t i = 0; i < columns_.size(); ++i) {
    if (shape_[1 + 2 * i] == 'L') selected.push_back(i);
  }
}
