// The server list: the entries of SERVIDORES.cfg in the installation directory, one per line.
//
// The file is bytes, one entry per line; lines end with CR LF, LF or a lone CR. There is no
// header, comment syntax, quoting or trimming: empty lines give empty entries, blanks are kept.
// A NUL byte ends the entry early (the rest of that line is dropped); an entry holds at most
// kMaxServerEntryLength bytes (a longer line is cut there); a last line without a line end
// is an entry too.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::size_t kMaxServerEntryLength = 255;

// Splits the bytes of a server list file into its entries, by the rules above.
std::vector<std::string> ParseServerList(std::string_view bytes);

// `directory` + "/SERVIDORES.cfg" (an empty directory gives "/SERVIDORES.cfg").
std::string ServerListPath(std::string_view directory);

// Reads and splits the server list of `directory`. The file is held under a shared, non-blocking
// lock while it is read, so several copies of the program read it at once; a file that is absent,
// held exclusively by someone else (locked, or opened without sharing) or unreadable gives an
// empty list and no message.
std::vector<std::string> ReadServerList(std::string_view directory);
