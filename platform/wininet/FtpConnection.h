#pragma once

// One FTP control connection over libcurl. The connection owns one easy
// handle and one multi handle of its own, so that every request it makes
// reuses the control connection kept in that multi handle's cache, and
// every FtpConnection is a control connection of its own. Requests are
// driven step by step, which lets a download be handed out piece by piece as
// it arrives and an upload take its data from the caller's writes.
//
// Not thread-safe by itself: the owner serialises the calls. A call in
// progress notices a cancel flag (BeginCall) within one poll step.

#include "wininet/ResponseInfo.h"
#include "wininet/WinInet.h"

#include <curl/curl.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace wininet {

// Limits of the layer.
struct FtpLimits {
  // TCP connect plus the server's greeting and the login.
  static constexpr long kConnectTimeoutMs = 10000;
  // Longest wait for any reply on the control connection.
  static constexpr long kReplyTimeoutS = 15;
  // Longest wait for the reply to the goodbye (QUIT) when a connection is
  // closed: the reply changes nothing, and closing must not hang on a modem
  // that stopped answering.
  static constexpr long kQuitTimeoutS = 1;
  // Longest wait for the server to open the data connection (active mode).
  static constexpr long kAcceptTimeoutMs = 15000;
  // A request that moves no byte and gets no reply for this long fails.
  static constexpr std::chrono::milliseconds kStallTimeout{15000};
  // How long one wait step sleeps at most before looking at cancel flags.
  static constexpr int kPollStepMs = 100;
  // Received data kept ahead of the reader before the download pauses.
  static constexpr std::size_t kStreamBuffer = 64 * 1024;
  // Data still read (and dropped) when a download is closed early, so that
  // the control connection survives; beyond it the transfer is cut.
  static constexpr std::size_t kCloseDrainLimit = 256 * 1024;
  // Largest directory listing taken in.
  static constexpr std::size_t kListingLimit = 16 * 1024 * 1024;
};

struct FtpEndpoint {
  std::string host;  // as it goes into a URL (IPv6 in brackets)
  int port = INTERNET_DEFAULT_FTP_PORT;
  std::string user;  // empty: anonymous
  std::string password;
  bool passive = false;
  // Proxy: nothing = take it from the environment, "" = none.
  std::optional<std::string> proxy;
};

class FtpConnection {
 public:
  explicit FtpConnection(FtpEndpoint endpoint);
  ~FtpConnection();
  FtpConnection(const FtpConnection&) = delete;
  FtpConnection& operator=(const FtpConnection&) = delete;

  // Starts a call: clears the replies collected so far and restarts the
  // stall watch. cancel (may be null) aborts the call's waits when set.
  void BeginCall(const std::atomic<bool>* cancel);
  // Publishes the call's outcome as the thread's last response info (when
  // the server said anything or the call failed). For a login the reply to
  // the login is kept rather than the last one.
  void EndCall(DWORD error, bool login = false);

  // Opens the control connection and logs in.
  DWORD Login();
  // One command on the control connection; succeeds on a 2xx reply, which
  // is returned in reply.
  DWORD Command(const std::string& command, FtpReply* reply);
  // A directory listing ("LIST", "LIST name") into text.
  DWORD Listing(const std::string& command, std::string& text);
  // Whole-file transfers between the server and a local file.
  DWORD DownloadToFile(const std::string& remote, bool ascii, std::FILE* local);
  DWORD UploadFromFile(const std::string& remote, bool ascii, std::FILE* local, std::int64_t size);

  // Streamed download: open (returns once the server has accepted the RETR),
  // then read pieces, then close.
  DWORD OpenDownload(const std::string& remote, bool ascii);
  // Fills buffer with up to size bytes; fewer only at the end of the file.
  DWORD Read(char* buffer, DWORD size, DWORD& got);
  // Ends the download; drain: read the rest (up to a limit) so that the
  // control connection stays usable.
  void CloseDownload(bool drain);
  // Size the server reported with SIZE, and its reply when it reported none.
  std::optional<std::uint64_t> RemoteSize() const { return remoteSize_; }
  const FtpReply& SizeReply() const { return sizeReply_; }

  // Streamed upload: open (returns once the server has accepted the STOR),
  // write pieces, then finish (end of data, wait for the server's verdict).
  DWORD OpenUpload(const std::string& remote, bool ascii);
  DWORD Write(const char* data, DWORD size, DWORD& put);
  DWORD FinishUpload();
  // Cuts an upload or download that is still running.
  void Abort();

  bool TransferRunning() const { return added_ && !xfer_.done; }

 private:
  enum class Sink { None, Stream, Memory, File, Discard };
  enum class Source { None, Caller, File };
  enum class Wait { Ready, Ended, Cancelled, Stalled, Failed };

  struct Transfer {
    bool done = false;
    CURLcode result = CURLE_OK;
    Sink sink = Sink::None;
    Source source = Source::None;
    // Stream sink: bytes received and not yet read.
    std::string pending;
    std::size_t pendingPos = 0;
    bool recvPaused = false;
    std::size_t discarded = 0;
    // Memory sink.
    std::string* memory = nullptr;
    // File sink or source.
    std::FILE* file = nullptr;
    int localErrno = 0;
    // Caller source: the write in progress.
    const char* src = nullptr;
    std::size_t srcLen = 0;
    std::size_t srcPos = 0;
    bool endOfData = false;
    bool sendPaused = false;
    bool awaitingData = false;
    // A preliminary (1xx) reply to the transfer command arrived.
    bool preliminary = false;
    // Set once done: ERROR_SUCCESS or why the transfer failed.
    DWORD error = ERROR_SUCCESS;
  };

  static std::size_t OnWrite(char* data, std::size_t size, std::size_t count, void* self);
  static std::size_t OnRead(char* buffer, std::size_t size, std::size_t count, void* self);
  static int OnDebug(CURL* easy, curl_infotype type, char* data, std::size_t size, void* self);

  std::size_t Received(const char* data, std::size_t size);
  std::size_t Provide(char* buffer, std::size_t size);
  void Protocol(curl_infotype type, std::string_view text);

  // Resets the easy handle for a new request on the path (relative to the
  // server's current directory, or absolute when it starts with '/').
  void Prepare(const std::string& path);
  void Start();
  void Detach();
  void Finish(DWORD error);
  Wait Drive(const std::function<bool()>& ready);
  DWORD RunToEnd();
  DWORD ErrorOf(Wait wait);
  DWORD MapResult(CURLcode code) const;
  void Touch() { lastProgress_ = std::chrono::steady_clock::now(); }

  struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
  };
  struct MultiDeleter {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
  };
  struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
  };

  FtpEndpoint endpoint_;
  std::string baseUrl_;
  std::unique_ptr<CURLM, MultiDeleter> multi_;
  std::unique_ptr<CURL, EasyDeleter> easy_;
  std::unique_ptr<curl_slist, ListDeleter> quote_;
  bool added_ = false;
  Transfer xfer_;

  const std::atomic<bool>* cancel_ = nullptr;
  std::chrono::steady_clock::time_point lastProgress_;

  ReplyParser parser_;
  std::string lastCommand_;
  std::vector<FtpReply> replies_;  // of the current call
  std::optional<std::uint64_t> remoteSize_;
  FtpReply sizeReply_;
};

// The URL path of a remote name: every byte that is not plainly safe is
// percent-encoded. Names with control characters are refused (false).
bool EncodeRemotePath(const std::string& name, std::string& path);

}  // namespace wininet
