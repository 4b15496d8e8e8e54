#include "registry/HiveStore.h"

#include "registry/Registry.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>

namespace registry {

std::string HiveFolder() {
  auto fromEnv = [](const char* name) -> std::string {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
  };
  auto withoutTrailingSlash = [](std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
  };
  std::string folder = fromEnv("HALDEN_REGISTRY_DIR");
  if (!folder.empty()) return withoutTrailingSlash(folder);
  // The XDG base directory rules ignore relative paths.
  std::string config = fromEnv("XDG_CONFIG_HOME");
  if (config.empty() || config.front() != '/') {
    std::string home = fromEnv("HOME");
    if (home.empty()) {
      if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) home = entry->pw_dir;
    }
    config = withoutTrailingSlash(home) + "/.config";
  }
  return withoutTrailingSlash(config) + "/halden";
}

}  // namespace registry

namespace registry::detail {

namespace {

constexpr mode_t FolderMode = 0700;
constexpr mode_t FileMode = 0600;
constexpr int MaxBadCopies = 1000;
constexpr const char* TempInfix = ".tmp";

// A file descriptor that closes itself.
class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() { Reset(); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int Get() const { return fd_; }
  bool Valid() const { return fd_ >= 0; }
  void Reset() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
  int Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

// An advisory lock on "<hive>.lock", held for the object's lifetime.
class HiveLock {
 public:
  HiveLock(const std::string& hivePath, bool exclusive)
      : fd_(::open((hivePath + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, FileMode)) {
    if (!fd_.Valid()) return;
    while (::flock(fd_.Get(), exclusive ? LOCK_EX : LOCK_SH) != 0) {
      if (errno != EINTR) {
        fd_.Reset();
        return;
      }
    }
  }
  bool Held() const { return fd_.Valid(); }

 private:
  Fd fd_;
};

bool MakeFolders(const std::string& folder) {
  struct stat info {};
  if (::stat(folder.c_str(), &info) == 0) return S_ISDIR(info.st_mode);
  const std::size_t slash = folder.find_last_of('/');
  if (slash != std::string::npos && slash > 0 && !MakeFolders(folder.substr(0, slash))) return false;
  return ::mkdir(folder.c_str(), FolderMode) == 0 || errno == EEXIST;
}

// Reads the whole file; false when it exists but cannot be read.
bool ReadWhole(const std::string& path, std::string& text, bool& exists) {
  text.clear();
  exists = false;
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.Valid()) return errno == ENOENT || errno == ENOTDIR;
  exists = true;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
    if (n == 0) return true;
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    text.append(buffer, static_cast<std::size_t>(n));
  }
}

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

void SyncFolder(const std::string& folder) {
  Fd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.Valid()) ::fsync(fd.Get());
}

// Temporary files are only made under the exclusive lock, so any that exist
// while we hold it were left by a writer that died.
void RemoveStaleTemporaries(const std::string& folder, const std::string& hiveName) {
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return;
  const std::string prefix = hiveName + TempInfix;
  while (const dirent* entry = ::readdir(dir)) {
    if (std::strncmp(entry->d_name, prefix.c_str(), prefix.size()) == 0) {
      ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
  }
  ::closedir(dir);
}

// Writes `text` to a new file beside `path` and renames it over `path`.
bool ReplaceFile(const std::string& folder, const std::string& path, const std::string& text) {
  std::string temp = path + TempInfix + "XXXXXX";
  Fd fd(::mkostemp(temp.data(), O_CLOEXEC));
  if (!fd.Valid()) return false;
  const bool written = ::fchmod(fd.Get(), FileMode) == 0 && WriteAll(fd.Get(), text) && ::fsync(fd.Get()) == 0;
  const bool closed = ::close(fd.Release()) == 0;
  if (!written || !closed || ::rename(temp.c_str(), path.c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  SyncFolder(folder);
  return true;
}

// Keeps the current file under a ".bad" name before it is replaced.
bool KeepDamagedFile(const std::string& folder, const std::string& path, const std::string& text,
                     const std::vector<std::string>& problems) {
  std::string kept;
  for (int n = 0; n < MaxBadCopies && kept.empty(); ++n) {
    const std::string candidate = path + ".bad" + (n == 0 ? std::string() : "." + std::to_string(n));
    if (::link(path.c_str(), candidate.c_str()) == 0) {
      kept = candidate;
    } else if (errno != EEXIST) {
      // No hard links here: copy instead, without replacing an older copy.
      Fd fd(::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, FileMode));
      if (fd.Valid()) {
        if (!WriteAll(fd.Get(), text) || ::fsync(fd.Get()) != 0) {
          ::unlink(candidate.c_str());
          return false;
        }
        kept = candidate;
      } else if (errno != EEXIST) {
        return false;
      }
    }
  }
  if (kept.empty()) return false;
  SyncFolder(folder);
  std::fprintf(stderr, "registry: %s could not be read whole (%s%s); it was kept as %s\n", path.c_str(),
               problems.front().c_str(), problems.size() > 1 ? ", ..." : "", kept.c_str());
  return true;
}

// The pending hives of the thread's write batch: each read once under its
// exclusive lock, changed in memory, written when the batch ends.
struct PendingHive {
  std::unique_ptr<HiveLock> lock;
  std::string folder;
  std::string path;
  std::string text;  // as read, kept for a damaged file's copy
  bool exists = false;
  ParseResult parsed;
  bool changed = false;
};

struct BatchState {
  std::map<Root, PendingHive> hives;
};

thread_local BatchState* activeBatch = nullptr;

}  // namespace

const char* RootName(Root root) {
  switch (root) {
    case Root::ClassesRoot:
      return "HKEY_CLASSES_ROOT";
    case Root::CurrentUser:
      return "HKEY_CURRENT_USER";
    case Root::LocalMachine:
      return "HKEY_LOCAL_MACHINE";
  }
  return "HKEY_CURRENT_USER";
}

std::string HivePath(Root root) { return HiveFolder() + "/" + RootName(root) + ".reg"; }

LONG ReadHive(Root root, Hive& hive) {
  if (activeBatch != nullptr) {
    if (const auto it = activeBatch->hives.find(root); it != activeBatch->hives.end()) {
      hive = it->second.parsed.hive;
      return ERROR_SUCCESS;
    }
  }
  const std::string path = HivePath(root);
  hive = Hive();
  if (::access(path.c_str(), F_OK) != 0) return errno == ENOENT || errno == ENOTDIR ? ERROR_SUCCESS : ERROR_CANTREAD;
  // Without a lock file (a folder we may not write) the read still sees a
  // whole file, since writers replace it by rename.
  const HiveLock lock(path, false);
  std::string text;
  bool exists = false;
  if (!ReadWhole(path, text, exists)) return ERROR_CANTREAD;
  hive = std::move(ParseHive(text, RootName(root)).hive);
  return ERROR_SUCCESS;
}

namespace {

// Writes a changed hive back: keeps a damaged file aside first.
LONG WriteBack(Root root, const std::string& folder, const std::string& path, const std::string& text, bool exists,
               const ParseResult& parsed) {
  if (exists && !parsed.problems.empty() && !KeepDamagedFile(folder, path, text, parsed.problems)) {
    return ERROR_ACCESS_DENIED;
  }
  return ReplaceFile(folder, path, WriteHive(parsed.hive, RootName(root))) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

LONG UpdatePendingHive(Root root, const HiveChange& change) {
  auto it = activeBatch->hives.find(root);
  if (it == activeBatch->hives.end()) {
    PendingHive pending;
    pending.folder = HiveFolder();
    const std::string name = std::string(RootName(root)) + ".reg";
    pending.path = pending.folder + "/" + name;
    if (!MakeFolders(pending.folder)) return ERROR_ACCESS_DENIED;
    pending.lock = std::make_unique<HiveLock>(pending.path, true);
    if (!pending.lock->Held()) return ERROR_ACCESS_DENIED;
    RemoveStaleTemporaries(pending.folder, name);
    if (!ReadWhole(pending.path, pending.text, pending.exists)) return ERROR_ACCESS_DENIED;
    pending.parsed = ParseHive(pending.text, RootName(root));
    it = activeBatch->hives.emplace(root, std::move(pending)).first;
  }
  // Changes apply to a copy, so a failing change leaves the pending hive as
  // it was, as it leaves the file when written alone.
  Hive copy = it->second.parsed.hive;
  bool changed = false;
  const LONG status = change(copy, changed);
  if (status != ERROR_SUCCESS || !changed) return status;
  it->second.parsed.hive = std::move(copy);
  it->second.changed = true;
  return ERROR_SUCCESS;
}

}  // namespace

bool BeginBatch() {
  if (activeBatch != nullptr) return false;
  activeBatch = new BatchState;
  return true;
}

bool EndBatch() {
  std::unique_ptr<BatchState> batch(activeBatch);
  activeBatch = nullptr;
  if (!batch) return true;
  bool ok = true;
  for (auto& [root, pending] : batch->hives) {
    if (pending.changed &&
        WriteBack(root, pending.folder, pending.path, pending.text, pending.exists, pending.parsed) != ERROR_SUCCESS)
      ok = false;
  }
  return ok;
}

LONG UpdateHive(Root root, const HiveChange& change) {
  if (activeBatch != nullptr) return UpdatePendingHive(root, change);
  const std::string folder = HiveFolder();
  const std::string name = std::string(RootName(root)) + ".reg";
  const std::string path = folder + "/" + name;
  if (!MakeFolders(folder)) return ERROR_ACCESS_DENIED;
  const HiveLock lock(path, true);
  if (!lock.Held()) return ERROR_ACCESS_DENIED;
  RemoveStaleTemporaries(folder, name);

  std::string text;
  bool exists = false;
  if (!ReadWhole(path, text, exists)) return ERROR_ACCESS_DENIED;
  ParseResult parsed = ParseHive(text, RootName(root));
  bool changed = false;
  const LONG status = change(parsed.hive, changed);
  if (status != ERROR_SUCCESS || !changed) return status;
  return WriteBack(root, folder, path, text, exists, parsed);
}

}  // namespace registry::detail

namespace registry {

WriteBatch::WriteBatch() : owner_(detail::BeginBatch()) {}

WriteBatch::~WriteBatch() { Commit(); }

bool WriteBatch::Commit() {
  if (!owner_) return true;
  owner_ = false;
  return detail::EndBatch();
}

}  // namespace registry
