// The benchmark's database: an embedded Firebird file with an AJUSTE_CIERRE of a given number of
// rows, made once and reused by later runs.
#pragma once

#include <cstdint>
#include <string>

// First day of the rows' start dates; the rows cycle over kBenchDays consecutive days.
inline constexpr int kBenchYear = 2023, kBenchMonth = 1, kBenchDay = 1;
inline constexpr int kBenchDays = 1000;

// Creates the database at `path` (folders included) with `rows` rows unless it already holds
// that many. Throws std::runtime_error with the client library's text on failure.
void EnsureBenchDatabase(const std::string& path, std::int64_t rows);
