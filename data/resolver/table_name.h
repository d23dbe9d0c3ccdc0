// The table a save writes: the name found in a query's statement, and the name as the statements
// write it.
#pragma once

#include <string>
#include <string_view>

// The name with each part of a dotted name (up to three parts; a fourth dot stays inside the last
// part) enclosed in `quote`. Empty for an empty name; a name that begins or ends with a double
// quote, a single quote or a backquote is taken as it stands; with an empty `quote` the name
// stands bare.
std::string QuotedTableName(std::string_view name, std::string_view quote);

// The one table a select statement reads, as written there (a quoted name keeps its quotes); empty
// when the statement names no table: no FROM, a derived table or a procedure after FROM, or more
// than one table (a list, a join or a union). Comments, quoted texts and parenthesised parts are
// skipped.
std::string TableNameOfStatement(std::string_view sql);
