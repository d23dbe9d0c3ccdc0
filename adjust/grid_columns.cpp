#include "adjust/grid_columns.h"

#include "db/dataset/field.h"

namespace {

constexpr const char* kFields[] = {"AJCI_FECINI", "AJCI_FECFIN", "AJCI_PORC", "AJCI_FACTOR"};

bool IsWholeNumber(TFieldType type) {
  switch (type) {
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftWord:
    case TFieldType::ftLargeint:
    case TFieldType::ftAutoInc:
      return true;
    default:
      return false;
  }
}

bool IsDecimal(TFieldType type) {
  return type == TFieldType::ftFloat || type == TFieldType::ftCurrency ||
         type == TFieldType::ftBCD || type == TFieldType::ftFMTBcd;
}

bool IsDate(TFieldType type) {
  return type == TFieldType::ftDate || type == TFieldType::ftDateTime ||
         type == TFieldType::ftTimeStamp;
}

// Characters a field of `field`'s type is shown in by default.
int DisplayWidth(const TField& field) {
  const TFieldType type = field.DataType();
  // Twice the bytes a date takes, plus 2.
  if (type == TFieldType::ftDate) return 2 * 4 + 2;
  if (IsDate(type)) return 18;
  if (type == TFieldType::ftBCD || type == TFieldType::ftFMTBcd) {
    return field.Precision() + 1;
  }
  if (IsWholeNumber(type)) return 11;
  if (IsDecimal(type)) return 10;
  return field.Size() > 0 ? field.Size() : 10;
}

}  // namespace

std::span<const char* const> AdjustmentGridFields() {
  return kFields;
}

ColumnTraits TraitsOf(const TField* field, const char* fieldName) {
  ColumnTraits traits;
  if (!field) {
    traits.title = QString::fromUtf8(fieldName);
    traits.width_chars = 10;
    return traits;
  }
  traits.title = QString::fromStdString(field->DisplayLabel());
  traits.type = field->DataType();
  const bool number = IsWholeNumber(traits.type) || IsDecimal(traits.type);
  traits.alignment = number ? Qt::AlignRight : Qt::AlignLeft;
  traits.width_chars = DisplayWidth(*field);
  traits.editor = IsDate(traits.type) ? CellEditorKind::kDate : CellEditorKind::kPlain;
  return traits;
}

int DefaultColumnWidth(const QFontMetrics& metrics, int chars) {
  const int overhang = 0;
  return (metrics.horizontalAdvance(QLatin1Char('0')) - overhang) * chars + overhang + 4;
}

bool AcceptsCharacter(TFieldType type, QChar c, char decimalSeparator) {
  const bool whole = IsWholeNumber(type);
  if (!whole && !IsDecimal(type)) return true;
  if (c.unicode() < 0x20) return true;  // control characters are the editor's own keys
  if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) return true;
  if (c == QLatin1Char('+') || c == QLatin1Char('-')) return true;
  return !whole && c == QLatin1Char(decimalSeparator);
}
