// The field list a filter or locate expression of the cached dataset is compiled against.
#pragma once

#include "data/expr/expr_fields.h"

class TDataSet;

// One descriptor per field of `dataSet`, in field order; only data and internally calculated
// fields can be named in an expression.
ExprFieldList ExprFieldsOf(const TDataSet& dataSet);
