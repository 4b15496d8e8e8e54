#include "FirmwareUpload.h"

#include "filemap/FileMap.h"
#include "monitor/ConstellationMonitor.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <thread>

namespace orbscope {

namespace {

// Slice of the status pause, so a cancelled wait ends promptly.
constexpr std::chrono::milliseconds kPauseSlice{20};

class InternetHandle {
 public:
  explicit InternetHandle(HINTERNET handle) : handle_(handle) {}
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;
  ~InternetHandle() { Close(); }
  HINTERNET Get() const { return handle_; }
  // Closing a file opened for writing completes the upload; its result
  // tells whether the modem took it.
  bool Close() {
    if (handle_ == nullptr) return true;
    return InternetCloseHandle(std::exchange(handle_, nullptr)) != FALSE;
  }

 private:
  HINTERNET handle_;
};

class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() {
    if (Valid()) CloseHandle(handle_);
  }
  bool Valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;
};

class MappedView {
 public:
  explicit MappedView(LPVOID view) : view_(view) {}
  MappedView(const MappedView&) = delete;
  MappedView& operator=(const MappedView&) = delete;
  ~MappedView() {
    if (view_ != nullptr) UnmapViewOfFile(view_);
  }
  LPCVOID Get() const { return view_; }

 private:
  LPVOID view_;
};

ReflashOutcome Error(const char* message) { return {ReflashOutcome::Result::Error, message}; }

// Writes the whole view into the target pseudo-file with one write call.
bool Upload(HINTERNET connection, const std::string& remoteFile, LPCVOID data, DWORD size) {
  InternetHandle remote(FtpOpenFileA(connection, remoteFile.c_str(), GENERIC_WRITE, kModemFileFlags, 0));
  if (remote.Get() == nullptr) return false;
  DWORD written = 0;
  const bool wrote = InternetWriteFile(remote.Get(), data, size, &written) != FALSE && written == size;
  const bool closed = remote.Close();
  return wrote && closed;
}

// One read of "status:"; nothing when it cannot be opened or read.
std::optional<std::string> ReadFlashStatus(HINTERNET connection) {
  const InternetHandle file(FtpOpenFileA(connection, kFlashStatusFile, GENERIC_READ, kModemFileFlags, 0));
  if (file.Get() == nullptr) return std::nullopt;
  std::string text(kFlashStatusReadSize, '\0');
  std::size_t total = 0;
  while (total < text.size()) {
    DWORD got = 0;
    if (!InternetReadFile(file.Get(), text.data() + total, static_cast<DWORD>(text.size() - total), &got))
      return std::nullopt;
    if (got == 0) break;
    total += got;
  }
  text.resize(total);
  text.resize(std::min(text.size(), text.find('\0')));
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

bool WaitForFlash(HINTERNET connection, const ReflashTiming& timing,
                  const std::function<void(const std::string&)>& showStatus, const std::atomic<bool>& cancel) {
  using Clock = std::chrono::steady_clock;
  // The most blocks reported done so far, per total: only a count above it
  // is progress. A reply that goes back and forth is not.
  std::map<int, int> mostDone;
  Clock::time_point lastProgress = Clock::now();
  for (;;) {
    if (cancel) return false;
    const std::optional<std::string> text = ReadFlashStatus(connection);
    if (!text) return false;
    showStatus(*text);
    const std::optional<std::pair<int, int>> progress = ParseFlashStatus(*text);
    if (progress && progress->first == progress->second) return true;
    if (progress) {
      const auto [best, first] = mostDone.try_emplace(progress->second, progress->first);
      if (first || progress->first > best->second) {
        best->second = progress->first;
        lastProgress = Clock::now();
      }
    }
    // A modem that stops making progress must not hold the dialog for ever.
    if (Clock::now() - lastProgress >= timing.stallLimit) return false;
    const Clock::time_point resume = Clock::now() + timing.statusPause;
    while (Clock::now() < resume) {
      if (cancel) return false;
      std::this_thread::sleep_for(std::min<Clock::duration>(kPauseSlice, resume - Clock::now()));
    }
  }
}

}  // namespace

std::optional<std::pair<int, int>> ParseFlashStatus(const std::string& text) {
  int done = 0;
  int total = 0;
  if (std::sscanf(text.c_str(), "%d of %d", &done, &total) != 2) return std::nullopt;
  return std::make_pair(done, total);
}

ReflashOutcome UploadFirmware(const ReflashJob& job, const std::function<void(const std::string&)>& showStatus,
                              const std::atomic<bool>& cancel) {
  const InternetHandle connection(OpenModemConnection(job.session, job.address));
  if (connection.Get() == nullptr) return {ReflashOutcome::Result::Failed, {}};

  const std::string localFile = job.localFile.substr(0, kLocalNameLength);
  const FileHandle file(CreateFileA(localFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return Error("Could not open selected file!");

  bool uploaded = false;
  {
    DWORD sizeHigh = 0;
    const DWORD size = GetFileSize(file.Get(), &sizeHigh);
    const FileHandle mapping(CreateFileMappingA(file.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping.Valid()) return Error("Internal Error #144527!");
    const MappedView view(MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, 0));
    if (view.Get() == nullptr) return Error("Internal Error #144528!");
    // One write call takes at most 4 GB; a larger image cannot go in one piece.
    uploaded = sizeHigh == 0 && Upload(connection.Get(), job.remoteFile.substr(0, kRemoteNameLength), view.Get(), size);
  }

  if (!uploaded) return {ReflashOutcome::Result::Failed, {}};
  const bool flashed = WaitForFlash(connection.Get(), job.timing, showStatus, cancel);
  return {flashed ? ReflashOutcome::Result::Complete : ReflashOutcome::Result::Failed, {}};
}

}  // namespace orbscope
