// Every field class, and the field a field definition calls for.
#pragma once

#include <memory>

#include "db/dataset/bcd_fields.h"
#include "db/dataset/date_fields.h"
#include "db/dataset/field.h"
#include "db/dataset/field_defs.h"
#include "db/dataset/numeric_fields.h"
#include "db/dataset/text_fields.h"

// A new field for `def`: its class by DataType, with FieldName, Size, Precision, Required and
// ReadOnly taken over. Throws EDatabaseError "Field '%s' is of an unknown type" for ftUnknown.
std::unique_ptr<TField> CreateField(const TFieldDef& def, TComponent* owner = nullptr);
