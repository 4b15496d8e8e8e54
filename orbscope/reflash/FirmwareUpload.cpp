#include "FirmwareUpload.h"

#include "filemap/FileMap.h"
#include "monitor/ConstellationMonitor.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <thread>
#include <utility>

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

// The modem connection, handed to close when given (else closed here), so
// the outcome is not held up by the goodbye to a modem that stopped
// answering.
class ConnectionHandle {
 public:
  ConnectionHandle(HINTERNET handle, std::function<void(HINTERNET)> close)
      : handle_(handle), close_(std::move(close)) {}
  ConnectionHandle(const ConnectionHandle&) = delete;
  ConnectionHandle& operator=(const ConnectionHandle&) = delete;
  ~ConnectionHandle() {
    if (handle_ == nullptr) return;
    if (close_) {
      close_(handle_);
    } else {
      InternetCloseHandle(handle_);
    }
  }
  HINTERNET Get() const { return handle_; }

 private:
  HINTERNET handle_;
  std::function<void(HINTERNET)> close_;
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
ReflashOutcome Failed(std::string why) { return {ReflashOutcome::Result::Failed, std::move(why)}; }

// The server's last reply on this thread, when it said something.
std::string LastReply() {
  DWORD error = 0;
  char text[512] = {};
  DWORD length = sizeof text;
  if (!InternetGetLastResponseInfoA(&error, text, &length) || length == 0) return {};
  std::string reply(text, std::min<DWORD>(length, sizeof text - 1));
  while (!reply.empty() && (reply.back() == '\n' || reply.back() == '\r' || reply.back() == ' ')) reply.pop_back();
  return reply;
}

// A reason, with the modem's own words when it gave any.
std::string Because(std::string why) {
  const std::string reply = LastReply();
  if (!reply.empty()) why += "\nThe modem said: " + reply;
  return why;
}

// Whether the image went out is what the user needs to know of a cancel.
std::string Cancelled(bool sent) {
  return sent ? "Cancelled by the user while the modem was writing its flash; the image had been sent."
              : "Cancelled by the user before the image was sent.";
}

// Writes the whole view into the target pseudo-file with one write call;
// empty when the modem took it, else why not.
std::optional<std::string> Upload(HINTERNET connection, const std::string& remoteFile, LPCVOID data, DWORD size) {
  InternetHandle remote(FtpOpenFileA(connection, remoteFile.c_str(), GENERIC_WRITE, kModemFileFlags, 0));
  if (remote.Get() == nullptr) return Because("The modem did not accept an image for \"" + remoteFile + "\".");
  DWORD written = 0;
  const bool wrote = InternetWriteFile(remote.Get(), data, size, &written) != FALSE && written == size;
  if (!wrote) {
    std::string why = Because("The image was not sent whole to \"" + remoteFile + "\" (" + std::to_string(written) +
                              " of " + std::to_string(size) + " bytes).");
    remote.Close();
    return why;
  }
  if (!remote.Close()) return Because("The modem did not take the image for \"" + remoteFile + "\".");
  return std::nullopt;
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

// Empty once the modem reports the flash written, else why it is not.
std::optional<std::string> WaitForFlash(HINTERNET connection, const ReflashTiming& timing,
                                        const std::function<void(const std::string&)>& showStatus,
                                        const ReflashControl& control) {
  using Clock = std::chrono::steady_clock;
  // The most blocks reported done so far, per total: only a count above it
  // is progress. A reply that goes back and forth is not.
  std::map<int, int> mostDone;
  Clock::time_point lastProgress = Clock::now();
  for (;;) {
    if (control.Cancelled()) return Cancelled(true);
    const std::optional<std::string> text = ReadFlashStatus(connection);
    if (!text) {
      // A cancel abandons the read in flight.
      if (control.Cancelled()) return Cancelled(true);
      return Because("The modem's progress (\"" + std::string(kFlashStatusFile) + "\") could not be read.");
    }
    showStatus(*text);
    const std::optional<std::pair<int, int>> progress = ParseFlashStatus(*text);
    if (progress && progress->first == progress->second) return std::nullopt;
    if (control.Cancelled()) return Cancelled(true);
    if (progress) {
      const auto [best, first] = mostDone.try_emplace(progress->second, progress->first);
      if (first || progress->first > best->second) {
        best->second = progress->first;
        lastProgress = Clock::now();
      }
    }
    // A modem that stops making progress must not hold the dialog for ever.
    if (Clock::now() - lastProgress >= timing.stallLimit) {
      const auto seconds = std::chrono::duration_cast<std::chrono::duration<double>>(timing.stallLimit).count();
      char why[128];
      std::snprintf(why, sizeof why, "The modem reported no progress for %g s.", seconds);
      return why;
    }
    const Clock::time_point resume = Clock::now() + timing.statusPause;
    while (Clock::now() < resume) {
      if (control.Cancelled()) return Cancelled(true);
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
                              ReflashControl& control) {
  struct Finally {
    ReflashControl& control;
    ~Finally() { control.Enter(ReflashControl::Step::Done); }
  } done{control};

  if (!control.Enter(ReflashControl::Step::Connecting)) return Failed(Cancelled(false));
  const ConnectionHandle connection(OpenModemConnection(job.session, job.address), job.closeConnection);
  if (!control.Enter(ReflashControl::Step::Sending)) return Failed(Cancelled(false));
  if (connection.Get() == nullptr) return Failed(Because("The modem at " + job.address + " could not be reached."));

  const std::string localFile = job.localFile.substr(0, kLocalNameLength);
  const FileHandle file(CreateFileA(localFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return Error("Could not open selected file!");

  std::optional<std::string> notSent;
  {
    DWORD sizeHigh = 0;
    const DWORD size = GetFileSize(file.Get(), &sizeHigh);
    const FileHandle mapping(CreateFileMappingA(file.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping.Valid()) return Error("Internal Error #144527!");
    const MappedView view(MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, 0));
    if (view.Get() == nullptr) return Error("Internal Error #144528!");
    // One write call takes at most 4 GB; a larger image cannot go in one piece.
    if (sizeHigh != 0) {
      notSent = "The image is too large to send in one piece.";
    } else {
      notSent = Upload(connection.Get(), job.remoteFile.substr(0, kRemoteNameLength), view.Get(), size);
    }
  }
  if (notSent) return Failed(*notSent);

  control.SetConnection(connection.Get());
  if (!control.Enter(ReflashControl::Step::Waiting)) return Failed(Cancelled(true));
  const std::optional<std::string> notFlashed = WaitForFlash(connection.Get(), job.timing, showStatus, control);
  if (notFlashed) return Failed(*notFlashed);
  return {ReflashOutcome::Result::Complete, {}};
}

bool ReflashControl::Enter(Step step) {
  step_ = step;
  if (stepChanged_) stepChanged_(step);
  return !cancelled_;
}

ReflashControl::Step ReflashControl::Cancel() {
  cancelled_ = true;
  return step_;
}

}  // namespace orbscope
