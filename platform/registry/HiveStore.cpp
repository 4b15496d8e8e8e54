#include "registry/HiveStore.h"

#include "registry/HiveCache.h"
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
#include <mutex>
#include <set>

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
  Fd& operator=(Fd&& other) noexcept {
    if (this != &other) {
      Reset();
      fd_ = other.Release();
    }
    return *this;
  }
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

// Says once per process and place why settings are not being saved: the
// programs go on without them, and the user should know.
void ReportOnce(const std::string& place, const std::string& text) {
  static std::mutex mutex;
  static std::set<std::string> reported;
  const std::lock_guard guard(mutex);
  if (reported.insert(place).second)
    std::fprintf(stderr, "registry: %s; settings changes are not saved\n", text.c_str());
}

// Opens a hive for reading. Only a regular file of at most MaxHiveBytes is
// a hive: a device, a FIFO or a link to one would block the open or never
// end, so the open does not wait, and anything else is reported once
// (the defaults are used) and left as it is. An absent file is no error.
enum class HiveOpen { Opened, Absent, Refused };
HiveOpen OpenHiveFile(const std::string& path, Fd& fd, struct stat& info) {
  fd = Fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!fd.Valid()) return errno == ENOENT || errno == ENOTDIR ? HiveOpen::Absent : HiveOpen::Refused;
  if (::fstat(fd.Get(), &info) != 0) return HiveOpen::Refused;
  if (!S_ISREG(info.st_mode)) {
    ReportOnce(path, path + " is not a regular file; the default settings are used");
    return HiveOpen::Refused;
  }
  if (info.st_size > MaxHiveBytes) {
    ReportOnce(path,
               path + " is larger than " + std::to_string(MaxHiveBytes >> 20) + " MB; the default settings are used");
    return HiveOpen::Refused;
  }
  return HiveOpen::Opened;
}

void ReportFolder(const std::string& folder) {
  ReportOnce(folder, "the settings folder " + folder + " cannot be written");
}

bool MakeFolders(const std::string& folder) {
  struct stat info {};
  if (::stat(folder.c_str(), &info) == 0) return S_ISDIR(info.st_mode);
  const std::size_t slash = folder.find_last_of('/');
  if (slash != std::string::npos && slash > 0 && !MakeFolders(folder.substr(0, slash))) return false;
  return ::mkdir(folder.c_str(), FolderMode) == 0 || errno == EEXIST;
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

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

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

// The file that holds the hive: the hive path itself, or the file a
// symbolic link there points to (followed through further links), so that
// a user's link stays a link and the target gets the settings.
std::string WrittenPath(const std::string& path) {
  std::string current = path;
  for (int depth = 0; depth < 40; ++depth) {
    struct stat info {};
    if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
    std::string target(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 4096), '\0');
    const ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
    if (n <= 0) return current;
    target.resize(static_cast<std::size_t>(n));
    current = target.front() == '/' ? target : FolderOf(current) + "/" + target;
  }
  return current;
}

// What a writer knows about the file it is about to replace.
struct OnDisk {
  std::string folder;  // of the written file
  std::string path;    // the written file (a link's target)
  bool exists = false;
  struct stat info {};
  std::shared_ptr<const ParseResult> parsed;

  // A file without any write permission is the user's choice: it is left
  // as it is (even for root, who could write it).
  bool ReadOnly() const { return exists && ((info.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0); }
};

// Reads the hive for a change; the caller holds the exclusive lock.
LONG LoadOnDisk(const std::string& hivePath, std::string_view rootName, OnDisk& disk) {
  disk.path = WrittenPath(hivePath);
  disk.folder = FolderOf(disk.path);
  RemoveStaleTemporaries(disk.folder, NameOf(disk.path));
  Fd fd;
  switch (OpenHiveFile(disk.path, fd, disk.info)) {
    case HiveOpen::Absent:
      disk.parsed = std::make_shared<const ParseResult>();
      return ERROR_SUCCESS;
    case HiveOpen::Refused:
      return ERROR_ACCESS_DENIED;
    case HiveOpen::Opened:
      break;
  }
  disk.exists = true;
  disk.parsed = CachedParse(hivePath, rootName, fd.Get(), disk.info);
  return disk.parsed ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

// Writes `text` to a new file beside the written file and renames it over
// that, with the old file's permissions and owner.
bool ReplaceFile(const OnDisk& disk, const std::string& text, struct stat& written) {
  std::string temp = disk.path + TempInfix + "XXXXXX";
  Fd fd(::mkostemp(temp.data(), O_CLOEXEC));
  if (!fd.Valid()) return false;
  const mode_t mode = disk.exists ? disk.info.st_mode & 07777 : FileMode;
  // Only root may give a file away; for anyone else the owner is already us.
  if (disk.exists && ::geteuid() == 0) (void)::fchown(fd.Get(), disk.info.st_uid, disk.info.st_gid);
  const bool ok = ::fchmod(fd.Get(), mode) == 0 && WriteAll(fd.Get(), text) && ::fsync(fd.Get()) == 0;
  const bool closed = ::close(fd.Release()) == 0;
  if (!ok || !closed || ::rename(temp.c_str(), disk.path.c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  SyncFolder(disk.folder);
  // As it is now: the rename changed its times.
  if (::stat(disk.path.c_str(), &written) != 0) written = {};
  return true;
}

// Keeps the current file under a ".bad" name before it is replaced.
bool KeepDamagedFile(const OnDisk& disk) {
  const std::string& path = disk.path;
  std::string kept;
  for (int n = 0; n < MaxBadCopies && kept.empty(); ++n) {
    std::string candidate = path + ".bad";
    if (n > 0) {
      candidate += '.';
      candidate += std::to_string(n);
    }
    if (::link(path.c_str(), candidate.c_str()) == 0) {
      kept = candidate;
    } else if (errno != EEXIST) {
      // No hard links here: copy instead, without replacing an older copy.
      std::string text;
      Fd in(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
      Fd fd(::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, FileMode));
      if (fd.Valid()) {
        if (!in.Valid() || !ReadDescriptor(in.Get(), text) || !WriteAll(fd.Get(), text) || ::fsync(fd.Get()) != 0) {
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
  SyncFolder(disk.folder);
  const std::vector<std::string>& problems = disk.parsed->problems;
  std::fprintf(stderr, "registry: %s could not be read whole (%s%s); it was kept as %s\n", path.c_str(),
               problems.front().c_str(), problems.size() > 1 ? ", ..." : "", kept.c_str());
  return true;
}

// Writes a changed hive back: keeps a damaged file aside first, and leaves
// a read-only file alone.
LONG WriteBack(Root root, const std::string& hivePath, const OnDisk& disk, const Hive& hive) {
  if (disk.ReadOnly()) {
    ReportOnce(disk.path, disk.path + " is read-only");
    return ERROR_ACCESS_DENIED;
  }
  if (disk.exists && !disk.parsed->problems.empty() && !KeepDamagedFile(disk)) return ERROR_ACCESS_DENIED;
  const std::string text = WriteHive(hive, RootName(root));
  struct stat written {};
  if (!ReplaceFile(disk, text, written)) {
    ReportFolder(disk.folder);
    return ERROR_ACCESS_DENIED;
  }
  auto parsed = std::make_shared<ParseResult>();
  parsed->hive = hive;
  RememberWritten(hivePath, written, text, std::move(parsed));
  return ERROR_SUCCESS;
}

// Takes the exclusive lock of a hive, making its folder first.
std::unique_ptr<HiveLock> LockForWriting(const std::string& folder, const std::string& hivePath) {
  if (!MakeFolders(folder)) {
    ReportFolder(folder);
    return nullptr;
  }
  auto lock = std::make_unique<HiveLock>(hivePath, true);
  if (!lock->Held()) {
    ReportFolder(folder);
    return nullptr;
  }
  return lock;
}

// The pending hives of the thread's write batch: each read once under its
// exclusive lock, changed in memory, written when the batch ends.
struct PendingHive {
  std::unique_ptr<HiveLock> lock;
  std::string hivePath;
  OnDisk disk;
  std::shared_ptr<Hive> hive;  // the changes so far
  bool changed = false;
};

struct BatchState {
  std::map<Root, PendingHive> hives;
};

thread_local BatchState* activeBatch = nullptr;

const std::shared_ptr<const Hive>& EmptyHive() {
  static const std::shared_ptr<const Hive> empty = std::make_shared<const Hive>();
  return empty;
}

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

LONG ReadHive(Root root, std::shared_ptr<const Hive>& hive) {
  if (activeBatch != nullptr) {
    if (const auto it = activeBatch->hives.find(root); it != activeBatch->hives.end()) {
      hive = it->second.hive;
      return ERROR_SUCCESS;
    }
  }
  const std::string path = HivePath(root);
  hive = EmptyHive();
  if (::access(path.c_str(), F_OK) != 0) return errno == ENOENT || errno == ENOTDIR ? ERROR_SUCCESS : ERROR_CANTREAD;
  // Without a lock file (a folder we may not write) the read still sees a
  // whole file, since writers replace it by rename.
  const HiveLock lock(path, false);
  Fd fd;
  struct stat info {};
  switch (OpenHiveFile(path, fd, info)) {
    case HiveOpen::Absent:
      return ERROR_SUCCESS;
    case HiveOpen::Refused:
      return ERROR_CANTREAD;
    case HiveOpen::Opened:
      break;
  }
  const std::shared_ptr<const ParseResult> parsed = CachedParse(path, RootName(root), fd.Get(), info);
  if (!parsed) return ERROR_CANTREAD;
  hive = std::shared_ptr<const Hive>(parsed, &parsed->hive);
  return ERROR_SUCCESS;
}

namespace {

LONG UpdatePendingHive(Root root, const HiveChange& change) {
  auto it = activeBatch->hives.find(root);
  if (it == activeBatch->hives.end()) {
    PendingHive pending;
    pending.hivePath = HivePath(root);
    pending.lock = LockForWriting(HiveFolder(), pending.hivePath);
    if (!pending.lock) return ERROR_ACCESS_DENIED;
    if (const LONG status = LoadOnDisk(pending.hivePath, RootName(root), pending.disk); status != ERROR_SUCCESS)
      return status;
    pending.hive = std::make_shared<Hive>(pending.disk.parsed->hive);
    it = activeBatch->hives.emplace(root, std::move(pending)).first;
  }
  // Changes apply to a copy, so a failing change leaves the pending hive as
  // it was, as it leaves the file when written alone.
  Hive copy = *it->second.hive;
  bool changed = false;
  const LONG status = change(copy, changed);
  if (status != ERROR_SUCCESS || !changed) return status;
  it->second.hive = std::make_shared<Hive>(std::move(copy));
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
    if (pending.changed && WriteBack(root, pending.hivePath, pending.disk, *pending.hive) != ERROR_SUCCESS) ok = false;
  }
  return ok;
}

LONG UpdateHive(Root root, const HiveChange& change) {
  if (activeBatch != nullptr) return UpdatePendingHive(root, change);
  const std::string path = HivePath(root);
  const std::unique_ptr<HiveLock> lock = LockForWriting(HiveFolder(), path);
  if (!lock) return ERROR_ACCESS_DENIED;
  OnDisk disk;
  if (const LONG status = LoadOnDisk(path, RootName(root), disk); status != ERROR_SUCCESS) return status;
  Hive hive = disk.parsed->hive;
  bool changed = false;
  const LONG status = change(hive, changed);
  if (status != ERROR_SUCCESS || !changed) return status;
  return WriteBack(root, path, disk, hive);
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
