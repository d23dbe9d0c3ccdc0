// Small text helpers. Letter-case operations work on ASCII letters only; other bytes (including
// UTF-8 sequences) pass through unchanged.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Removes characters of code 32 or below from both ends / the start / the end.
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);

// Equal without regard to ASCII letter case.
bool SameText(std::string_view a, std::string_view b);
// <0, 0, >0 comparing without regard to ASCII letter case.
int CompareText(std::string_view a, std::string_view b);

std::string IntToStr(std::int64_t value);

// Reads a decimal integer: optional blanks around it, optional sign, digits; also "$" or "0x"
// followed by hexadecimal digits. Fails on anything else or when the value does not fit.
bool TryStrToInt(std::string_view s, int& value);
bool TryStrToInt64(std::string_view s, std::int64_t& value);
// Throws EConvertError "'%s' is not a valid integer value".
int StrToInt(std::string_view s);
std::int64_t StrToInt64(std::string_view s);

// `s` in single quotes, each single quote inside doubled: O'Brien -> 'O''Brien'.
std::string QuotedStr(std::string_view s);
