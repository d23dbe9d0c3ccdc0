// A statement parameter as the driver takes it, from a TParam or from a record's native value: its
// type decides the logical type and the bytes (money and decimals as packed decimals, dates as
// day numbers, date-times as timestamps, texts without terminator).
#pragma once

#include <cstdint>

#include "db/dataset/field_type.h"
#include "db/dataset/params.h"
#include "db/sql/sql_statement.h"

SQLParamValue ToSQLParamValue(const TParam& param);

// A parameter of a field of `type` from the native bytes of its value (see field_type.h); a null
// `data` gives a null parameter of that type. A fixed-size value of another size is taken as null.
SQLParamValue NativeParamValue(TFieldType type, const void* data, std::uint32_t size);
// The same, into `out`, whose byte buffer is reused.
void AssignNativeParam(SQLParamValue& out, TFieldType type, const void* data, std::uint32_t size);
