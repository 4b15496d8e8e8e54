#include "DataSetExport.h"

#include "vbformat/VbFormat.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <system_error>
#include <utility>

namespace specterm {

namespace {

constexpr const char* kHeader = "\"Point\",\"I_Data\",\"Q_Data\"\r\n";
constexpr int kTempNameAttempts = 100;
constexpr mode_t kNewFileMode = 0666;  // less the process's umask

std::string ErrorText(int error) { return std::system_category().message(error); }

// Blanks trimmed from both ends of a short number form.
std::string Trimmed(std::string text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  const std::size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

void AppendQuoted(std::string& out, const std::string& text) {
  out += '"';
  out += text;
  out += '"';
}

// An open file descriptor, closed on destruction.
class UniqueFd {
 public:
  explicit UniqueFd(int fd = -1) : fd_(fd) {}
  ~UniqueFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }
  int Get() const { return fd_; }
  // Closes now and reports the error close() gives (a delayed write error).
  int Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0 ? 0 : errno;
  }

 private:
  int fd_;
};

// A temporary file that is removed unless it was kept (renamed).
class TempFileGuard {
 public:
  explicit TempFileGuard(std::string path) : path_(std::move(path)) {}
  ~TempFileGuard() {
    if (!kept_) ::unlink(path_.c_str());
  }
  TempFileGuard(const TempFileGuard&) = delete;
  TempFileGuard& operator=(const TempFileGuard&) = delete;
  void Keep() { kept_ = true; }

 private:
  std::string path_;
  bool kept_ = false;
};

ExportResult Failure(const std::string& fileName, const std::string& reason) { return {false, fileName, reason}; }

// The file an export replaces: the target of a symbolic link, so the link
// stays a link.
std::string ResolveTarget(const std::string& fileName) {
  struct stat info {};
  if (::lstat(fileName.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return fileName;
  char resolved[PATH_MAX];
  if (::realpath(fileName.c_str(), resolved) == nullptr) return fileName;
  return resolved;
}

// Writes all of text to fd.
int WriteAll(int fd, const std::string& text) {
  const char* data = text.data();
  std::size_t left = text.size();
  while (left > 0) {
    const ssize_t written = ::write(fd, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  return 0;
}

// Rewrites an existing file: its inode, permissions and other links stay.
ExportResult WriteInPlace(const std::string& fileName, const std::string& target, const std::string& text) {
  UniqueFd fd(::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
  if (fd.Get() < 0) return Failure(fileName, ErrorText(errno));
  if (const int error = WriteAll(fd.Get(), text); error != 0) return Failure(fileName, ErrorText(error));
  if (::fsync(fd.Get()) != 0 && errno != EINVAL) return Failure(fileName, ErrorText(errno));
  if (const int error = fd.Close(); error != 0) return Failure(fileName, ErrorText(error));
  return {true, fileName, {}};
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? std::string("/") : path.substr(0, slash);
}

}  // namespace

std::string ExportResult::Message() const {
  if (Ok) return {};
  return "The data set could not be exported to " + FileName + ": " + Reason + ".";
}

std::string DataSetText(std::span<const float> first, std::span<const float> second, const ProgressFn& progress) {
  const std::size_t rows = std::min(first.size(), second.size());
  std::string out;
  out.reserve(32 + rows * 32);
  out += kHeader;
  int last = 0;
  for (std::size_t i = 1; i <= rows; ++i) {
    AppendQuoted(out, Trimmed(vb::ShortLong(static_cast<std::int32_t>(i))));
    out += ',';
    AppendQuoted(out, Trimmed(vb::ShortSingle(first[i - 1])));
    out += ',';
    AppendQuoted(out, Trimmed(vb::ShortSingle(second[i - 1])));
    out += "\r\n";
    const int percent = static_cast<int>((i + 1) * 100 / rows);
    // The last rows give more than 100; the bar stops at 100.
    while (last < std::min(percent, 100)) {
      ++last;
      if (progress) progress(last);
    }
  }
  return out;
}

std::string DataSetText(ExportKind kind, const SpectrumState& state, const ProgressFn& progress) {
  const TraceStore& traces = state.Traces;
  switch (kind) {
    case ExportKind::Raw:
      return DataSetText(state.Block.IData, state.Block.QData, progress);
    case ExportKind::Transformed:
      return DataSetText(state.FftReal, state.FftImag, progress);
    case ExportKind::Scaled:
      return DataSetText(traces.TraceX[kCurrentRow], traces.TraceY[kCurrentRow], progress);
    case ExportKind::PeakHold:
      return DataSetText(traces.TraceX[kPeakHoldRow], traces.TraceY[kPeakHoldRow], progress);
    case ExportKind::VideoAverage:
      return DataSetText(traces.TraceX[kVideoAverageRow], traces.TraceY[kVideoAverageRow], progress);
  }
  return {};
}

ExportResult WriteFileReplacing(const std::string& fileName, const std::string& text) {
  if (fileName.empty()) return Failure(fileName, "no file name was given");
  const std::string target = ResolveTarget(fileName);

  struct stat existing {};
  const bool replacing = ::stat(target.c_str(), &existing) == 0;
  if (replacing && S_ISDIR(existing.st_mode)) return Failure(fileName, "it is a folder");
  // A rename would give this name a new file and leave the other links
  // with the old contents.
  if (replacing && S_ISREG(existing.st_mode) && existing.st_nlink > 1) return WriteInPlace(fileName, target, text);

  // A fresh name beside the target, so the final rename stays on one file system.
  std::random_device entropy;
  std::mt19937 random(entropy());
  std::string tempName;
  UniqueFd fd;
  for (int attempt = 0; attempt < kTempNameAttempts && fd.Get() < 0; ++attempt) {
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".tmp-%08x", static_cast<unsigned>(random()));
    tempName = target + suffix;
    fd = UniqueFd(::open(tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode));
    if (fd.Get() < 0 && errno != EEXIST) {
      const int error = errno;
      // A folder that may not be written, holding a file that may: the
      // file itself is rewritten.
      if (replacing && S_ISREG(existing.st_mode) && (error == EACCES || error == EPERM || error == EROFS) &&
          ::access(target.c_str(), W_OK) == 0)
        return WriteInPlace(fileName, target, text);
      return Failure(fileName, ErrorText(error));
    }
  }
  if (fd.Get() < 0) return Failure(fileName, "no temporary file could be created beside it");
  TempFileGuard guard(tempName);

  // The replacement keeps the permissions of the file it replaces.
  if (replacing) ::fchmod(fd.Get(), existing.st_mode & 07777);

  if (const int error = WriteAll(fd.Get(), text); error != 0) return Failure(fileName, ErrorText(error));
  if (::fsync(fd.Get()) != 0 && errno != EINVAL) return Failure(fileName, ErrorText(errno));
  if (const int error = fd.Close(); error != 0) return Failure(fileName, ErrorText(error));
  if (::rename(tempName.c_str(), target.c_str()) != 0) return Failure(fileName, ErrorText(errno));
  guard.Keep();

  // Make the rename itself durable; a failure here loses nothing.
  UniqueFd folder(::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.Get() >= 0) ::fsync(folder.Get());
  return {true, fileName, {}};
}

ExportResult WriteDataSet(ExportKind kind, const std::string& fileName, const SpectrumState& state,
                          const ProgressFn& progress) {
  const std::string text = DataSetText(kind, state, progress);
  ExportResult result = WriteFileReplacing(fileName, text);
  if (progress) progress(0);
  return result;
}

ExportResult WriteRaw(const std::string& fileName, const SpectrumState& state, const ProgressFn& progress) {
  return WriteDataSet(ExportKind::Raw, fileName, state, progress);
}

ExportResult WriteTransformed(const std::string& fileName, const SpectrumState& state, const ProgressFn& progress) {
  return WriteDataSet(ExportKind::Transformed, fileName, state, progress);
}

ExportResult WriteScaled(const std::string& fileName, const SpectrumState& state, const ProgressFn& progress) {
  return WriteDataSet(ExportKind::Scaled, fileName, state, progress);
}

ExportResult WritePeakHold(const std::string& fileName, const SpectrumState& state, const ProgressFn& progress) {
  return WriteDataSet(ExportKind::PeakHold, fileName, state, progress);
}

ExportResult WriteVideoAverage(const std::string& fileName, const SpectrumState& state, const ProgressFn& progress) {
  return WriteDataSet(ExportKind::VideoAverage, fileName, state, progress);
}

}  // namespace specterm
