// Appending to a shared text file, such as the error log, from several programs at once.
//
// The bytes go to the end of the file in one appending write, so entries that several copies of
// the program add at the same moment never interleave or overwrite one another. An existing file
// is never emptied or replaced. One variant per platform sits beside this header.
#pragma once

#include <string>
#include <string_view>

// Appends `bytes` to the file at `path`, creating it (empty, then the bytes) when absent. Answers
// false, and writes nothing, when the file cannot be opened for writing: its folder is missing,
// access is denied, the path is a folder, or another program holds the file without sharing
// (an exclusive lock). Never throws.
bool AppendToFile(const std::string& path, std::string_view bytes) noexcept;
