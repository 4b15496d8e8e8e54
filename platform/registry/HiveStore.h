#pragma once

// The hive files on disk: one REGEDIT4 text file per root key in
// HiveFolder(), read under a shared lock and replaced under an exclusive one
// (flock on "<hive>.lock" beside it) through a temporary file that is
// fsynced and renamed over the hive.

#include "registry/Hive.h"

#include <functional>
#include <memory>
#include <string>

namespace registry::detail {

enum class Root { ClassesRoot, CurrentUser, LocalMachine };

// "HKEY_CURRENT_USER" and so on.
const char* RootName(Root root);
std::string HivePath(Root root);

// The hive as it is on disk; an absent file or folder is an empty hive.
// Fails with ERROR_CANTREAD when the file exists but cannot be read. The
// file is parsed again only when it changed since the last read.
LONG ReadHive(Root root, std::shared_ptr<const Hive>& hive);

// Re-reads the hive under the exclusive lock and calls change on it. When
// change returns ERROR_SUCCESS and sets `changed`, the hive is written back.
// A file with parts that could not be read is first kept as
// "<hive>.bad" (or ".bad.N" when that exists) so that nothing is lost.
// The new file keeps the old one's permissions; a symbolic link stays a
// link and its target is written. Fails with ERROR_ACCESS_DENIED when the
// folder or file cannot be written (a file without write permission is
// left alone), or the old file cannot be read; the first failure of each
// place is reported on standard error.
using HiveChange = std::function<LONG(Hive& hive, bool& changed)>;
LONG UpdateHive(Root root, const HiveChange& change);

// The thread's write batch (registry::WriteBatch): Begin returns false when
// one is already running; End writes the changed hives and releases them.
bool BeginBatch();
bool EndBatch();

}  // namespace registry::detail
