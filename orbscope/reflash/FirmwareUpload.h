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
  // For Error: the text of the error box. For Failed: why, for the user.
  std::string message;
};

// Between the re-flash on the link thread and the dialog on the window
// thread: the step the re-flash is in, and the user's cancel. A cancel is
// seen by the link thread at its next step, or the window abandons the call
// in flight (a connection attempt, a read of "status:"); the image itself is
// never cut off halfway.
class ReflashControl {
 public:
  enum class Step { Queued, Connecting, Sending, Waiting, Done };

  // Link thread: enters a step. False when the user has cancelled: the
  // re-flash then ends. Entering a step and cancelling are ordered, so the
  // window never abandons a step the link thread has already left for
  // Sending.
  bool Enter(Step step);
  bool Cancelled() const { return cancelled_; }
  // The connection the wait reads "status:" on.
  void SetConnection(HINTERNET connection) { connection_ = connection; }
  HINTERNET Connection() const { return connection_; }
  // Told of each step entered, on the link thread.
  void OnStep(std::function<void(Step)> stepChanged) { stepChanged_ = std::move(stepChanged); }

  // Window thread: asks the re-flash to end; returns the step it is in.
  Step Cancel();

 private:
  std::atomic<Step> step_{Step::Queued};
  std::atomic<bool> cancelled_{false};
  std::atomic<HINTERNET> connection_{nullptr};
  std::function<void(Step)> stepChanged_;
};

// "%d of %d": blocks done and blocks in total.
std::optional<std::pair<int, int>> ParseFlashStatus(const std::string& text);

struct ReflashJob {
  HINTERNET session = nullptr;
  std::string address;
  std::string localFile;
  std::string remoteFile;
  ReflashTiming timing;
  // Closes the modem connection at the end (thread-safe); when empty it is
  // closed on the calling thread.
  std::function<void(HINTERNET)> closeConnection;
};

// Uploads and waits for the flash. showStatus receives each "status:" text
// as the modem reports it. A cancel ends the re-flash as failed.
ReflashOutcome UploadFirmware(const ReflashJob& job, const std::function<void(const std::string&)>& showStatus,
                              ReflashControl& control);

}  // namespace orbscope
