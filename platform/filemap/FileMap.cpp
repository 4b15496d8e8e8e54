#include "filemap/FileMap.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>
#include <variant>

namespace {

// Win32 error numbers that only this layer reports.
constexpr DWORD ErrorTooManyOpenFiles = 4;
constexpr DWORD ErrorInvalidAddress = 487;
constexpr DWORD ErrorMappedAlignment = 1132;

// Views start on multiples of the Windows allocation granularity.
constexpr std::uint64_t AllocationGranularity = 65536;

constexpr DWORD FileMapWrite = 0x0002;

// A file descriptor that closes itself.
class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(Fd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  Fd& operator=(Fd&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int Get() const { return fd_; }
  bool Valid() const { return fd_ >= 0; }

 private:
  int fd_;
};

struct FileObject {
  Fd fd;
  bool readable = false;
};

// A mapping keeps its own descriptor, so that closing the file handle first
// leaves it usable, as on Windows.
struct MappingObject {
  Fd fd;
  std::uint64_t size = 0;
};

// A view stays mapped until it is unmapped, whatever happens to the handles.
class View {
 public:
  View(void* base, std::size_t length) : base_(base), length_(length) {}
  ~View() {
    if (base_ != nullptr) ::munmap(base_, length_);
  }
  View(View&& other) noexcept : base_(other.base_), length_(other.length_) { other.base_ = nullptr; }
  View& operator=(View&&) = delete;
  View(const View&) = delete;
  View& operator=(const View&) = delete;

 private:
  void* base_;
  std::size_t length_;
};

using Object = std::variant<FileObject, MappingObject>;

// File and mapping handles. Values are never reused, so a handle closed
// twice is simply unknown and never names a newer object.
class Objects {
 public:
  HANDLE Add(Object object) {
    const std::lock_guard<std::mutex> guard(mutex_);
    next_ += HandleStep;
    objects_.emplace(next_, std::move(object));
    return reinterpret_cast<HANDLE>(next_);
  }

  bool Remove(HANDLE handle) {
    const std::lock_guard<std::mutex> guard(mutex_);
    return objects_.erase(Key(handle)) > 0;
  }

  // Runs fn on the object of that kind, under the lock; false when there is
  // no such object.
  template <typename Kind, typename Fn>
  bool With(HANDLE handle, Fn&& fn) {
    const std::lock_guard<std::mutex> guard(mutex_);
    const auto it = objects_.find(Key(handle));
    if (it == objects_.end()) return false;
    Kind* object = std::get_if<Kind>(&it->second);
    if (object == nullptr) return false;
    fn(*object);
    return true;
  }

  void AddView(void* base, std::size_t length) {
    const std::lock_guard<std::mutex> guard(mutex_);
    views_.emplace(reinterpret_cast<std::uintptr_t>(base), View(base, length));
  }

  bool RemoveView(const void* base) {
    const std::lock_guard<std::mutex> guard(mutex_);
    return views_.erase(reinterpret_cast<std::uintptr_t>(base)) > 0;
  }

 private:
  static constexpr std::uintptr_t HandleStep = 4;
  static std::uintptr_t Key(HANDLE handle) { return reinterpret_cast<std::uintptr_t>(handle); }

  std::mutex mutex_;
  std::unordered_map<std::uintptr_t, Object> objects_;
  std::unordered_map<std::uintptr_t, View> views_;
  std::uintptr_t next_ = 0x10000;
};

Objects& Table() {
  static Objects objects;
  return objects;
}

bool FolderExists(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return true;
  struct stat info {};
  return ::stat(slash == 0 ? "/" : path.substr(0, slash).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

DWORD ErrorFromErrno(int error, const std::string& path) {
  switch (error) {
    case ENOENT:
      return FolderExists(path) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
      return ERROR_PATH_NOT_FOUND;
    case EEXIST:
      return ERROR_FILE_EXISTS;
    case EMFILE:
    case ENFILE:
      return ErrorTooManyOpenFiles;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case ETXTBSY:
    case EBUSY:
      return ERROR_SHARING_VIOLATION;
    default:
      return ERROR_ACCESS_DENIED;
  }
}

HANDLE Fail(DWORD error) {
  SetLastError(error);
  return INVALID_HANDLE_VALUE;
}

}  // namespace

HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD /*shareMode*/, void* /*securityAttributes*/,
                   DWORD creationDisposition, DWORD /*flagsAndAttributes*/, HANDLE /*templateFile*/) {
  if (fileName == nullptr || *fileName == '\0') return Fail(ERROR_PATH_NOT_FOUND);
  const bool read = (desiredAccess & GENERIC_READ) != 0;
  bool write = (desiredAccess & GENERIC_WRITE) != 0;
  int flags = O_CLOEXEC;
  switch (creationDisposition) {
    case CREATE_NEW:
      flags |= O_CREAT | O_EXCL;
      break;
    case CREATE_ALWAYS:
      flags |= O_CREAT | O_TRUNC;
      break;
    case OPEN_EXISTING:
      break;
    case OPEN_ALWAYS:
      flags |= O_CREAT;
      break;
    case TRUNCATE_EXISTING:
      if (!write) return Fail(ERROR_INVALID_PARAMETER);
      flags |= O_TRUNC;
      break;
    default:
      return Fail(ERROR_INVALID_PARAMETER);
  }
  // Truncation needs a writable descriptor even when only reading is asked.
  if ((flags & O_TRUNC) != 0) write = true;
  flags |= read && write ? O_RDWR : write ? O_WRONLY : O_RDONLY;

  const std::string path(fileName);
  Fd fd(::open(fileName, flags, 0666));
  if (!fd.Valid()) return Fail(ErrorFromErrno(errno, path));
  struct stat info {};
  // A folder is not a file to open, as on Windows without backup semantics.
  if (::fstat(fd.Get(), &info) != 0 || S_ISDIR(info.st_mode)) return Fail(ERROR_ACCESS_DENIED);
  const HANDLE handle = Table().Add(FileObject{std::move(fd), read});
  SetLastError(ERROR_SUCCESS);
  return handle;
}

DWORD GetFileSize(HANDLE file, LPDWORD sizeHigh) {
  std::uint64_t size = 0;
  bool statted = false;
  const bool known = Table().With<FileObject>(file, [&](FileObject& object) {
    struct stat info {};
    statted = ::fstat(object.fd.Get(), &info) == 0;
    size = static_cast<std::uint64_t>(info.st_size);
  });
  if (!known || !statted) {
    SetLastError(known ? ERROR_READ_FAULT : ERROR_INVALID_HANDLE);
    return INVALID_FILE_SIZE;
  }
  if (sizeHigh != nullptr) *sizeHigh = static_cast<DWORD>(size >> 32);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(size & 0xFFFFFFFFu);
}

HANDLE CreateFileMappingA(HANDLE file, void* /*securityAttributes*/, DWORD protect, DWORD maximumSizeHigh,
                          DWORD maximumSizeLow, LPCSTR /*name*/) {
  const std::uint64_t maximum = static_cast<std::uint64_t>(maximumSizeHigh) << 32 | maximumSizeLow;
  DWORD error = ERROR_SUCCESS;
  MappingObject mapping;
  const bool known = Table().With<FileObject>(file, [&](FileObject& object) {
    if (protect != PAGE_READONLY) {
      error = ERROR_INVALID_PARAMETER;
      return;
    }
    if (!object.readable) {
      error = ERROR_ACCESS_DENIED;
      return;
    }
    struct stat info {};
    if (::fstat(object.fd.Get(), &info) != 0) {
      error = ERROR_READ_FAULT;
      return;
    }
    const auto fileSize = static_cast<std::uint64_t>(info.st_size);
    if (maximum == 0 && fileSize == 0) {
      error = ERROR_FILE_INVALID;
      return;
    }
    // A read-only mapping cannot grow the file.
    if (maximum > fileSize) {
      error = ERROR_INVALID_PARAMETER;
      return;
    }
    mapping.fd = Fd(::fcntl(object.fd.Get(), F_DUPFD_CLOEXEC, 0));
    if (!mapping.fd.Valid()) error = ErrorTooManyOpenFiles;
    mapping.size = maximum == 0 ? fileSize : maximum;
  });
  if (!known) error = ERROR_INVALID_HANDLE;
  if (error != ERROR_SUCCESS) {
    SetLastError(error);
    return nullptr;
  }
  const HANDLE handle = Table().Add(std::move(mapping));
  SetLastError(ERROR_SUCCESS);
  return handle;
}

LPVOID MapViewOfFile(HANDLE mapping, DWORD desiredAccess, DWORD offsetHigh, DWORD offsetLow, std::size_t bytes) {
  const std::uint64_t offset = static_cast<std::uint64_t>(offsetHigh) << 32 | offsetLow;
  DWORD error = ERROR_SUCCESS;
  void* base = nullptr;
  std::size_t length = 0;
  const bool known = Table().With<MappingObject>(mapping, [&](MappingObject& object) {
    if ((desiredAccess & FileMapWrite) != 0 || (desiredAccess & FILE_MAP_READ) == 0) {
      error = ERROR_ACCESS_DENIED;
      return;
    }
    if (offset % AllocationGranularity != 0) {
      error = ErrorMappedAlignment;
      return;
    }
    if (offset >= object.size || bytes > object.size - offset) {
      error = ERROR_ACCESS_DENIED;
      return;
    }
    length = bytes == 0 ? static_cast<std::size_t>(object.size - offset) : bytes;
    base = ::mmap(nullptr, length, PROT_READ, MAP_SHARED, object.fd.Get(), static_cast<off_t>(offset));
    if (base == MAP_FAILED) {
      base = nullptr;
      error = ERROR_NOT_ENOUGH_MEMORY;
    }
  });
  if (!known) error = ERROR_INVALID_HANDLE;
  if (error != ERROR_SUCCESS) {
    SetLastError(error);
    return nullptr;
  }
  Table().AddView(base, length);
  SetLastError(ERROR_SUCCESS);
  return base;
}

BOOL UnmapViewOfFile(LPCVOID baseAddress) {
  if (!Table().RemoveView(baseAddress)) {
    SetLastError(ErrorInvalidAddress);
    return FALSE;
  }
  return TRUE;
}

BOOL CloseHandle(HANDLE handle) {
  if (!Table().Remove(handle)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}
