// A statement parameter as the driver takes it, from a TParam: its type decides the logical type
// and the native bytes (money and decimals as packed decimals, dates as day numbers, date-times
// as timestamps, texts without terminator).
#pragma once

#include "db/dataset/params.h"
#include "db/sql/sql_statement.h"

SQLParamValue ToSQLParamValue(const TParam& param);
