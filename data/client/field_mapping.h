// How the cached dataset's fields meet the layers around it: the field definitions a packet's
// column descriptions call for, and the field list a filter or locate expression is compiled
// against.
#pragma once

#include <vector>

#include "data/engine/ds_types.h"
#include "data/expr/expr_fields.h"
#include "db/dataset/field_defs.h"

class TDataSet;

// One definition per column, in column order, of the field type the column was written for (see
// data/provider/packet_field_types.h). A decimal takes the precision ("WIDTH") and scale
// ("DECIMALS") the provider wrote; one without them is taken as 32 digits with 8 decimals.
// Required and read-only come from the column attributes (a hidden column is read-only).
void ReadFieldDefs(const std::vector<engine::DSColumn>& columns, TFieldDefs& defs);

// One descriptor per field of `dataSet`, in field order; only data and internally calculated
// fields can be named in an expression.
ExprFieldList ExprFieldsOf(const TDataSet& dataSet);
