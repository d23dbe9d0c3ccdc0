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

void StatementBuilder::AppendWhere(const RowValues& row, TUpdateMode mode, SQLText& out,
                                   std::size_t& n) const {
  out.text.append("where").append(kLineEnd);
  bool any = false;
  for (std::uint16_t i = 0; i < columns_.size(); ++i) {
    const ResolveColumn& c = columns_[i];
    if (!InWhere(c, row.New(i), mode)) continue;
    const DSValueView old = row.Old(i);
    out.text += ' ';
    AppendName(out.text, c);
    if (old.blank == DSBlank::kNull) {
      out.text.append(" is null and");
    } else {
      out.text.append(" = ? and");
      AddParam(out, n, c, old);
    }
    out.text.append(kLineEnd);
    any = true;
  }
  if (!any) DatabaseError(kSNoKey);
  out.text.resize(out.text.size() - 2);
  DropTail(out.text, " and");
  out.text.append(kLineEnd);
  out.params.resize(n);
}

void StatementBuilder::Insert(const RowValues& row, SQLText& out) const {
  out.text.assign("insert into ").append(table_).append(kLineEnd);
  std::size_t n = 0;
  std::string names = "  (";
  std::string marks = "  (";
  for (std::uint16_t i = 0; i < columns_.size(); ++i) {
    const DSValueView value = row.New(i);
    if (!InSetList(columns_[i], value)) continue;
    AppendName(names, columns_[i]);
    names.append(", ");
    marks.append("?, ");
    AddParam(out, n, columns_[i], value);
  }
  out.params.resize(n);
  DropTail(names, ", ");
  DropTail(marks, ", ");
  out.text.append(names).append(")").append(kLineEnd);
  out.text.append("values").append(kLineEnd);
  out.text.append(marks).append(")").append(kLineEnd);
}

void StatementBuilder::Update(const RowValues& row, SQLText& out) const {
  out.text.assign("update ").append(table_).append("  set").append(kLineEnd);
  std::size_t n = 0;
  bool any = false;
  for (std::uint16_t i = 0; i < columns_.size(); ++i) {
    const DSValueView value = row.New(i);
    if (!InSetList(columns_[i], value)) continue;
    out.text += ' ';
    AppendName(out.text, columns_[i]);
    out.text.append(" = ?,").append(kLineEnd);
    AddParam(out, n, columns_[i], value);
    any = true;
  }
  if (!any) {
    out.text.clear();
    out.params.clear();
    return;
  }
  out.text.resize(out.text.size() - 3);  // the last "," and its line end
  out.text.append(kLineEnd);
  AppendWhere(row, mode_, out, n);
}

void StatementBuilder::Delete(const RowValues& row, SQLText& out) const {
  out.text.assign("delete from ").append(table_).append(" ").append(kLineEnd);
  std::size_t n = 0;
  AppendWhere(row, mode_, out, n);
}

void StatementBuilder::SelectCurrent(const RowValues& row, SQLText& out,
                                     std::vector<std::uint16_t>& selected) const {
  selected.clear();
  std::size_t n = 0;
  out.text.assign("select ");
  for (std::uint16_t i = 0; i < columns_.size(); ++i) {
    if (!InWhere(columns_[i], row.New(i), mode_)) continue;
    AppendName(out.text, columns_[i]);
    out.text.append(", ");
    selected.push_back(i);
  }
  bool anyKey = false;
  for (const ResolveColumn& c : columns_) anyKey = anyKey || (c.flags & pfInKey);
  if (selected.empty() || !anyKey) DatabaseError(kSNoKey);
  DropTail(out.text, ", ");
  out.text.append(" from ").append(table_).append(kLineEnd);
  AppendWhere(row, TUpdateMode::upWhereKeyOnly, out, n);
}
