#pragma once

// The re-flash itself: the image file, memory-mapped, goes to the modem's
// target pseudo-file in one write; then "status:" is polled until the modem
// reports that its flash is written. Blocking: runs on the link thread.

#include "wininet/WinInet.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <utility>

namespace orbscope {

// The modem's firmware targets, in the order of the dialog's list.
inline constexpr const char* kReflashTargets[] = {
    "bulk:",   "app:",     "dmdfilt:", "modfilt:", "rxintf:", "txintf:", "turbo:",  "demod1:", "decode1:",
    "demod2:", "decode2:", "mod:",     "mandc:",   "fec2:",   "boot:",   "demod3:", "fast:"};
inline constexpr int kReflashTargetCount = static_cast<int>(std::size(kReflashTargets));
// Characters taken of the remote (target) and local file names.
inline constexpr int kRemoteNameLength = 24;
inline constexpr int kLocalNameLength = 1023;
inline constexpr const char* kFlashStatusFile = "status:";
inline constexpr int kFlashStatusReadSize = 1024;

struct ReflashTiming {
  // Pause between two reads of "status:".
  std::chrono::milliseconds statusPause{2000};
  // A flash that reports no forward progress this long has failed.
  std::chrono::milliseconds stallLimit{60000};
};

struct ReflashOutcome {
  enum class Result { Complete, Failed, Error };
  Result result = Result::Failed;
  // For Error: the text of the error box.
  std::string message;
};

// "%d of %d": blocks done and blocks in total.
std::optional<std::pair<int, int>> ParseFlashStatus(const std::string& text);

struct ReflashJob {
  HINTERNET session = nullptr;
  std::string address;
  std::string localFile;
  std::string remoteFile;
  ReflashTiming timing;
};

// Uploads and waits for the flash. showStatus receives each "status:" text
// as the modem reports it. Setting cancel ends the wait as a failure.
ReflashOutcome UploadFirmware(const ReflashJob& job, const std::function<void(const std::string&)>& showStatus,
                              const std::atomic<bool>& cancel);

}  // namespace orbscope
