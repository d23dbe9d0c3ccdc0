#include "data/provider/param_packet.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "base/exceptions.h"
#include "data/engine/ds_base.h"
#include "data/engine/ds_record.h"
#include "data/engine/ds_writer.h"

using engine::DSType;

namespace {

constexpr char kParamTypeItem[] = "PARAMTYPE";
constexpr char kSInvalidParams[] = "Invalid parameter packet";

// The engine type a parameter's value travels as. Money travels as a decimal, so it arrives
// exactly as it left.
DSType TravelType(TFieldType type) {
  switch (type) {
    case TFieldType::ftSmallint:
      return DSType::kSmallInt;
    case TFieldType::ftInteger:
    case TFieldType::ftAutoInc:
      return DSType::kInteger;
    case TFieldType::ftWord:
      return DSType::kWord;
    case TFieldType::ftLargeint:
      return DSType::kLargeInt;
    case TFieldType::ftBoolean:
      return DSType::kLogical;
    case TFieldType::ftFloat:
      return DSType::kFloat;
    case TFieldType::ftCurrency:
    case TFieldType::ftBCD:
    case TFieldType::ftFMTBcd:
      return DSType::kBcd;
    case TFieldType::ftDate:
      return DSType::kDate;
    case TFieldType::ftTime:
      return DSType::kTime;
    case TFieldType::ftDateTime:
    case TFieldType::ftTimeStamp:
      return DSType::kDateTime;
    case TFieldType::ftMemo:
      return DSType::kMemo;
    case TFieldType::ftBytes:
    case TFieldType::ftVarBytes:
    case TFieldType::ftBlob:
      return DSType::kBlob;
    default:
      // Text, and a parameter nobody has given a value or type yet.
      return DSType::kText;
  }
}

void Check(engine::IDSWriter& writer, engine::DSStatus status) {
  if (status != engine::kDSOk) throw EDatabaseError(writer.ErrorText(status));
}

template <typename T>
void Put(engine::IDSWriter& writer, T value) {
  Check(writer, writer.PutField(&value, sizeof value));
}

void PutValue(engine::IDSWriter& writer, const TParam& param, DSType type) {
  if (param.IsNull()) return Check(writer, writer.PutNull());
  switch (type) {
    case DSType::kSmallInt:
    case DSType::kLogical:
      return Put(writer, static_cast<std::int16_t>(type == DSType::kLogical ? param.AsBoolean()
                                                                            : param.AsInteger()));
    case DSType::kInteger:
      return Put(writer, param.AsInteger());
    case DSType::kWord:
      return Put(writer, static_cast<std::uint16_t>(param.AsInteger()));
    case DSType::kLargeInt:
      return Put(writer, param.AsLargeInt());
    case DSType::kFloat:
      return Put(writer, param.AsFloat());
    case DSType::kBcd:
      return Put(writer, param.AsBCD());
    case DSType::kDate:
      return Put(writer, DateToDayNumber(param.AsDateTime()));
    case DSType::kTime:
      return Put(writer, TimeToMSecs(param.AsDateTime()));
    case DSType::kDateTime:
      return Put(writer, DateTimeToMSecs(param.AsDateTime()));
    default: {
      const std::string text = param.AsString();
      Check(writer, writer.PutField(text.data(), static_cast<std::uint32_t>(text.size())));
    }
  }
}

[[noreturn]] void Refuse(const std::string& why) {
  throw EDatabaseError(std::string(kSInvalidParams) + ": " + why);
}

template <typename T>
T Native(const engine::DSValueView& v) {
  if (v.data == nullptr || v.size < sizeof(T)) Refuse("a value is shorter than its type");
  T out{};
  std::memcpy(&out, v.data, sizeof out);
  return out;
}

void SetValue(TParam& param, TFieldType type, const engine::DSValueView& v) {
  switch (v.type) {
    case DSType::kSmallInt:
      param.SetAsSmallInt(Native<std::int16_t>(v));
      break;
    case DSType::kLogical:
      param.SetAsBoolean(Native<std::int16_t>(v) != 0);
      break;
    case DSType::kInteger:
      param.SetAsInteger(Native<std::int32_t>(v));
      break;
    case DSType::kWord:
      param.SetAsInteger(Native<std::uint16_t>(v));
      break;
    case DSType::kLargeInt:
      param.SetAsLargeInt(Native<std::int64_t>(v));
      break;
    case DSType::kFloat:
      param.SetAsFloat(Native<double>(v));
      break;
    case DSType::kBcd:
      if (type == TFieldType::ftCurrency) {
        param.SetAsCurrency(BcdToCurrency(Native<TBcd>(v)));
      } else {
        param.SetAsBCD(Native<TBcd>(v));
      }
      break;
    case DSType::kDate:
      param.SetAsDate(DayNumberToDate(Native<std::int32_t>(v)));
      break;
    case DSType::kTime:
      param.SetAsTime(MSecsToTime(Native<std::int32_t>(v)));
      break;
    case DSType::kDateTime:
      param.SetAsDateTime(MSecsToDateTime(Native<double>(v)));
      break;
    case DSType::kBlob:
      param.SetAsBlob(std::string(v.AsText()));
      break;
    default:
      param.SetAsString(std::string(v.AsText()));
      break;
  }
  param.SetDataType(type);
}

}  // namespace

std::vector<std::uint8_t> PackParams(const TParams& params) {
  if (params.Count() == 0) return {};
  std::vector<engine::DSColumn> columns;
  for (const TParam& p : params) {
    engine::DSColumn c;
    c.name = p.Name();
    c.type = TravelType(p.DataType());
    if (c.type == DSType::kText) {
      c.size = static_cast<std::uint32_t>(std::max<std::size_t>(p.AsString().size(), 1));
    } else if (c.type != DSType::kBlob && c.type != DSType::kMemo) {
      c.size = engine::FixedTypeSize(c.type);
    }
    c.items.push_back({kParamTypeItem, static_cast<std::int64_t>(p.DataType())});
    columns.push_back(std::move(c));
  }
  std::unique_ptr<engine::IDSWriter> writer = engine::CreateDSWriter();
  Check(*writer, writer->DescribeColumns(std::move(columns)));
  Check(*writer, writer->PutRowAttribute(engine::kRowUnchanged));
  for (int i = 0; i < params.Count(); ++i) {
    const TParam& p = params.Items(i);
    PutValue(*writer, p, TravelType(p.DataType()));
  }
  engine::DSPacket packet;
  Check(*writer, writer->GetPacket(packet));
  const auto bytes = packet.bytes();
  return {bytes.begin(), bytes.end()};
}

void UnpackParams(std::span<const std::uint8_t> bytes, TParams& out) {
  std::unique_ptr<engine::IDSBase> base = engine::CreateDSBase();
  auto refuse = [&](engine::DSStatus status) { Refuse(base->ErrorText(status)); };
  if (engine::DSStatus s = base->AppendPacket(engine::DSPacket::FromBytes(bytes), true)) refuse(s);
  if (base->RowCount() != 1) Refuse("one row of values expected");
  std::unique_ptr<engine::IDSCursor> cursor;
  if (engine::DSStatus s = base->CreateCursor(cursor)) refuse(s);
  engine::DSRecord row;
  cursor->MoveToBof();
  if (engine::DSStatus s = cursor->MoveRelative(1)) refuse(s);
  if (engine::DSStatus s = cursor->GetCurrentRecord(row)) refuse(s);

  TParams params;
  const std::vector<engine::DSColumn>& columns = base->Columns();
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const engine::DSAttr* item = engine::FindAttr(columns[i].items, kParamTypeItem);
    const auto* code = item != nullptr ? std::get_if<std::int64_t>(&item->value) : nullptr;
    if (code == nullptr || *code < 0 || *code > static_cast<std::int64_t>(TFieldType::ftFMTBcd) ||
        TravelType(static_cast<TFieldType>(*code)) != columns[i].type) {
      Refuse("parameter '" + columns[i].name + "' has no usable type");
    }
    const auto type = static_cast<TFieldType>(*code);
    TParam& param = params.Add(columns[i].name, type);
    const engine::DSValueView v = row.Field(static_cast<std::uint16_t>(i + 1));
    if (v.blank == engine::DSBlank::kUnchanged) Refuse("a value is marked unchanged");
    if (v.IsNull()) continue;
    try {
      SetValue(param, type, v);
    } catch (const EDatabaseError&) {
      throw;
    } catch (const Exception& e) {
      // A value its parameter type cannot hold (a decimal beyond the money range, say).
      Refuse(e.Message());
    }
  }
  out = std::move(params);
}
