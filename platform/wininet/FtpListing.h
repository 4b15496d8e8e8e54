#pragma once

// Directory listings as FTP servers send them (Unix "ls -l" and DOS styles,
// or bare names) turned into WIN32_FIND_DATAA records, and the wildcard
// match of find patterns.

#include "wininet/WinInet.h"

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wininet {

// One line of a listing; nothing for lines that name no file ("total 12",
// blank lines). now decides the year of Unix entries that give a time
// instead of a year.
std::optional<WIN32_FIND_DATAA> ParseListLine(std::string_view line, std::time_t now);

// Every entry of a whole listing.
std::vector<WIN32_FIND_DATAA> ParseListing(std::string_view listing, std::time_t now);

// Windows-style match: '*' any run, '?' one character, case-insensitive;
// "*.*" matches every name, dotted or not.
bool WildcardMatch(std::string_view pattern, std::string_view name);

bool HasWildcards(std::string_view pattern);

// Seconds since 1970 (UTC) as a FILETIME.
FILETIME FileTimeFromUnix(std::time_t seconds);

}  // namespace wininet
