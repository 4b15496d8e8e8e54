#pragma once

// One FTP session to one modem, as a property bag over the WinINet calls:
// the caller sets names and buffers, calls an operation, and reads results
// back. It knows nothing of the modem's pseudo-files and works with any FTP
// server. Three failures are reported to the user through the message
// handler given at construction (the window shows them as message boxes);
// every other failure shows only in the results.
//
// Usable from a worker thread (one thread at a time per object). The handler
// runs on the thread that made the call and must not wait on another thread.

#include "wininet/WinInet.h"

#include <QVariant>

#include <cstdint>
#include <functional>
#include <string>

// A notice of the session for the user: text, title and whether it reports
// a failure (critical) or is for information.
struct FtpMessage {
  enum class Kind { Critical, Information };
  std::string Text;
  std::string Title;
  Kind Icon = Kind::Information;
};
using FtpMessageHandler = std::function<void(const FtpMessage&)>;

class FTP_Server {
 public:
  // Agent text given to InternetOpenA.
  static constexpr const char* kAgent = "Microsoft Access";
  // Pause at destruction, so that a new session never follows the old one
  // on the modem too closely.
  static constexpr DWORD kTerminatePauseMs = 200;
  // Buffers of GetCurrentDirectory and ShowLastResponseInfo.
  static constexpr DWORD kDirectoryBufferLength = 260;
  static constexpr DWORD kResponseBufferLength = 2048;
  // What one ReadFromFile takes in unless the caller sets a limit of its
  // own: a server's transfer that never ends must not fill the memory.
  static constexpr std::int32_t kDefaultReadLimit = 64 * 1024 * 1024;

  // Without a handler the notices go to the standard error stream.
  explicit FTP_Server(FtpMessageHandler report = {});  // Class_Initialize
  ~FTP_Server();                                       // Class_Terminate
  FTP_Server(const FTP_Server&) = delete;
  FTP_Server& operator=(const FTP_Server&) = delete;

  // --- properties ---
  void SetDeleteFileName(const std::string& value) { DeleteFileName_ = ZeroTerminate(value); }
  void SetDirectoryName(const std::string& value) { DirectoryName_ = value; }
  void SetDirectoryName(const char* value) { DirectoryName_ = value != nullptr ? value : ""; }
  // Takes any value and stores its text.
  void SetDirectoryName(const QVariant& value);
  void SetDownloadFileName(const std::string& value) { DownloadFileName_ = ZeroTerminate(value); }
  void SetFailIfExists(bool value) { FailIfExists_ = value; }
  void SetFindFileName(const std::string& value) { FindFileName_ = value; }
  void SetNewDownLoadFileName(const std::string& value) { NewDownLoadFileName_ = value; }
  void SetNewUpLoadFileName(const std::string& value) { NewUpLoadFileName_ = ZeroTerminate(value); }
  void SetPassWord(const std::string& value) { PassWord_ = value; }
  void SetReadFileName(const std::string& value) { ReadFileName_ = value; }
  void SetUpLoadFileName(const std::string& value) { UpLoadFileName_ = value; }
  void SetUserName(const std::string& value) { UserName_ = value; }
  void SetWriteFileName(const std::string& value) { WriteFileName_ = value; }
  void SetWriteBuffer(const std::string& bytes) { WriteBuffer_ = bytes; }
  void SetServerName(const std::string& value) { ServerName_ = value; }
  // The most bytes one ReadFromFile takes in (0..kDefaultReadLimit).
  void SetReadLimit(std::int32_t bytes);

  // What the setters stored (for inspection).
  const std::string& DeleteFileName() const { return DeleteFileName_; }
  const std::string& DirectoryName() const { return DirectoryName_; }
  const std::string& DownloadFileName() const { return DownloadFileName_; }
  const std::string& NewUpLoadFileName() const { return NewUpLoadFileName_; }

  // Read-only properties.
  const std::string& ReadBuffer() const { return ReadBuffer_; }
  // The last ReadFromFile stopped at the read limit with the transfer still
  // running: it was cut, and its connection closed with it.
  bool ReadLimitReached() const { return ReadLimitReached_; }
  std::string FoundFileName() const;
  bool IsConnected() const;
  bool ConnectedToInternet() const;
  const WIN32_FIND_DATAA& FindData() const { return FindData_; }

  // The handles, as the object holds them (closed ones keep their value).
  HINTERNET SessionHandle() const { return SessionHandle_; }
  HINTERNET ConnectionHandle() const { return ConnectionHandle_; }
  HINTERNET FileHandle() const { return FileHandle_; }
  HINTERNET FindHandle() const { return FindHandle_; }

  // --- operations used by the capture cycle ---
  void ConnectToServer();
  bool OpenForWrite();
  std::int32_t WriteToFile();
  bool OpenForRead();
  std::int32_t GetFileSize();
  std::int32_t ReadFromFile(std::int32_t bufferSize);

  // --- further operations ---
  bool DeleteFile();
  bool DownLoadFile();
  bool UploadFile();
  bool SetCurrentDirectory();
  std::string GetCurrentDirectory();
  HINTERNET FindFirstFile();
  bool FindNextFile();
  bool CloseFile();
  void ShowLastResponseInfo();

  // The loop of ReadFromFile apart from WinINet: offers a working buffer of
  // bufferSize + 1 bytes to `read` (as InternetReadFile) until it returns
  // FALSE or 0 bytes, appending what comes to `out`, but never more than
  // `limit` bytes. True when the source had more than that (the rest is
  // left unread). The buffer size a server reports is not trusted: the
  // working buffer is never larger than the limit.
  using PieceReader = std::function<BOOL(char* buffer, DWORD size, DWORD& count)>;
  static bool ReadPieces(const PieceReader& read, std::int32_t bufferSize, std::int32_t limit, std::string& out);

  // Appends one NUL unless the text already ends in one.
  static std::string ZeroTerminate(const std::string& text);
  // The text up to its first NUL.
  static std::string StripAtNul(const std::string& text);

 private:
  void Terminate();
  void Report(FtpMessage message) const;

  FtpMessageHandler report_;

  HINTERNET SessionHandle_ = nullptr;
  HINTERNET ConnectionHandle_ = nullptr;
  HINTERNET FindHandle_ = nullptr;
  HINTERNET FileHandle_ = nullptr;
  bool FailIfExists_ = false;
  std::int32_t ReadLimit_ = kDefaultReadLimit;
  bool ReadLimitReached_ = false;
  std::string DirectoryName_;
  std::string FindFileName_;
  std::string DeleteFileName_;
  std::string DownloadFileName_;
  std::string NewDownLoadFileName_;
  std::string NewUpLoadFileName_;
  std::string PassWord_;
  std::string UpLoadFileName_;
  std::string ReadBuffer_;
  std::string ReadFileName_;
  std::string ServerName_;
  std::string UserName_;
  std::string WriteBuffer_;
  std::string WriteFileName_;
  WIN32_FIND_DATAA FindData_{};
};
