#pragma once

// The hives last read from disk, kept in memory while their files are
// unchanged, so that a program reading many settings parses each file once
// (a large hive took seconds per read). A file counts as unchanged while its
// identity (device, inode, size, modification and change times) is the same;
// the file system's clock is coarse, so a file changed within the last
// second is compared by its contents as well.

#include "registry/Hive.h"

#include <sys/stat.h>

#include <memory>
#include <string>
#include <string_view>

namespace registry::detail {

// The largest hive file read: hives hold a few hundred values.
inline constexpr long long MaxHiveBytes = 64LL * 1024 * 1024;

// Reads an open file whole; false on a read error or when it holds more
// than MaxHiveBytes (a file that grew while it was read).
bool ReadDescriptor(int fd, std::string& text);

// The parsed hive for the file open as fd (its stat in info), from the cache
// when the file is the one it was read from, else read, parsed and cached.
// Null when the file cannot be read. path names the cache entry.
std::shared_ptr<const ParseResult> CachedParse(const std::string& path, std::string_view rootName, int fd,
                                               const struct stat& info);

// Records a file this process has just written, with the text it holds.
void RememberWritten(const std::string& path, const struct stat& info, std::string_view text,
                     std::shared_ptr<const ParseResult> parsed);

}  // namespace registry::detail
