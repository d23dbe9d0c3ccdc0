// Helpers of the driver tests: the driver loaded the way the program loads it (by its stored
// name through the alias table), connections, and running statements with failure texts.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "db/driver/dynamic_library.h"
#include "db/driver/sql_driver.h"

// The entry point of the driver library, loaded once per test program and kept loaded, as the
// program does.
SQLDriverEntry DriverEntry();
// A driver from that entry point, on the client library by its stored name.
ISQLDriver& Driver();

// The last error text of `object`.
std::string ErrorText(ISQLObject& object);

struct Connected {
  std::unique_ptr<ISQLConnection> connection;
  SQLResult result = kSqlSuccess;
};

// A connection with dialect 3 and the character set `charSet` (none when empty), connected to
// `location`.
Connected Connect(const std::string& location, const std::string& user = "SYSDBA",
                  const std::string& password = "masterkey",
                  const std::string& charSet = "ISO8859_1");

// Runs `sql` without parameters. REQUIRES: it yields no rows. Fails the test on an error.
void Exec(ISQLConnection& connection, const std::string& sql);

// Runs a select and returns every row, each value read as text ("<null>" for nulls; dates as
// "day N").
std::vector<std::vector<std::string>> Rows(ISQLConnection& connection, const std::string& sql);
