// The columns of the adjustment grid and what each takes from the field it shows: its title
// (the field's display label), alignment (numbers right, everything else left), default width
// in characters, the keys its editor accepts and which editor it has.
#pragma once

#include <QFontMetrics>
#include <QString>
#include <span>

#include "db/dataset/field_type.h"

class TField;

// The fields of CAjuste that the grid DBGridEh2 shows, in column order (AJCI_ID has no column).
std::span<const char* const> AdjustmentGridFields();

enum class CellEditorKind {
  kPlain,  // a text box
  kDate,   // a text box with a drop-down month calendar
};

struct ColumnTraits {
  QString title;
  Qt::Alignment alignment = Qt::AlignLeft;
  int width_chars = 0;
  CellEditorKind editor = CellEditorKind::kPlain;
  TFieldType type = TFieldType::ftUnknown;
};

// The traits of the column showing `field`; a column without a field shows `fieldName`, left.
ColumnTraits TraitsOf(const TField* field, const char* fieldName);

// Default width in pixels of a column `chars` characters wide in a font: the width of "0" less
// the font's overhang, times the characters, plus the overhang, plus 4. Scalable fonts have no
// overhang.
int DefaultColumnWidth(const QFontMetrics& metrics, int chars);

// Whether the editor of a column of `type` takes the typed character `c`: numbers take digits,
// "+" and "-", and decimals also the regional decimal separator; everything else takes any.
bool AcceptsCharacter(TFieldType type, QChar c, char decimalSeparator);
