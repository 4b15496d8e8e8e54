#include "registry/HiveCache.h"

#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <functional>
#include <map>
#include <mutex>

namespace registry::detail {

namespace {

// Changes within this long of a file's modification time may leave its
// times as they were (the kernel stamps files with a coarse clock).
constexpr long long RacyWindowNs = 1'000'000'000LL;

long long Nanoseconds(const timespec& t) { return static_cast<long long>(t.tv_sec) * 1'000'000'000LL + t.tv_nsec; }

long long NowNs() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return Nanoseconds(now);
}

struct Identity {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  long long modified = 0;
  long long changed = 0;
  bool operator==(const Identity&) const = default;
};

Identity IdentityOf(const struct stat& info) {
  return {info.st_dev, info.st_ino, info.st_size, Nanoseconds(info.st_mtim), Nanoseconds(info.st_ctim)};
}

struct Entry {
  Identity identity;
  std::size_t contentHash = 0;
  // When the contents were last compared; trusted by identity alone once
  // that was a while after the last modification.
  long long verifiedNs = 0;
  std::shared_ptr<const ParseResult> parsed;

  bool TrustedByIdentity() const { return verifiedNs - identity.modified >= RacyWindowNs; }
};

std::mutex cacheMutex;
std::map<std::string, Entry> cache;

std::size_t Hash(std::string_view text) { return std::hash<std::string_view>{}(text); }

}  // namespace

bool ReadDescriptor(int fd, std::string& text) {
  text.clear();
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::pread(fd, buffer, sizeof buffer, static_cast<off_t>(text.size()));
    if (n == 0) return true;
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    text.append(buffer, static_cast<std::size_t>(n));
    if (static_cast<long long>(text.size()) > MaxHiveBytes) return false;
  }
}

std::shared_ptr<const ParseResult> CachedParse(const std::string& path, std::string_view rootName, int fd,
                                               const struct stat& info) {
  const Identity identity = IdentityOf(info);
  std::shared_ptr<const ParseResult> known;
  std::size_t knownHash = 0;
  {
    const std::lock_guard guard(cacheMutex);
    if (const auto it = cache.find(path); it != cache.end() && it->second.identity == identity) {
      if (it->second.TrustedByIdentity()) return it->second.parsed;
      known = it->second.parsed;
      knownHash = it->second.contentHash;
    }
  }
  // Read outside the cache's lock: other hives stay available meanwhile.
  const long long readAt = NowNs();
  std::string text;
  if (!ReadDescriptor(fd, text)) return nullptr;
  const std::size_t hash = Hash(text);
  std::shared_ptr<const ParseResult> parsed = known && hash == knownHash ? known : nullptr;
  if (!parsed) {
    parsed = std::make_shared<const ParseResult>(ParseHive(text, rootName));
  }
  const std::lock_guard guard(cacheMutex);
  cache[path] = Entry{identity, hash, readAt, parsed};
  return parsed;
}

void RememberWritten(const std::string& path, const struct stat& info, std::string_view text,
                     std::shared_ptr<const ParseResult> parsed) {
  const std::lock_guard guard(cacheMutex);
  cache[path] = Entry{IdentityOf(info), Hash(text), NowNs(), std::move(parsed)};
}

}  // namespace registry::detail
