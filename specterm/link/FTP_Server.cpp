#include "link/FTP_Server.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

namespace {

// Message texts and titles of the session's own boxes.
constexpr const char* kTitle = "FTP";
constexpr const char* kNoInternetText = "Could not open Internet Connection";
constexpr const char* kNoMoreFilesText = "No More Files!";
constexpr const char* kNoResponseText = "Last response information could not be read!";

}  // namespace

FTP_Server::FTP_Server(FtpMessageHandler report) : report_(std::move(report)) {
  SessionHandle_ = InternetOpenA(kAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  if (SessionHandle_ == nullptr) {
    Report({kNoInternetText, kTitle, FtpMessage::Kind::Critical});
    Terminate();
  }
}

void FTP_Server::Report(FtpMessage message) const {
  if (report_) {
    report_(message);
    return;
  }
  std::fprintf(stderr, "%s: %s\n", message.Title.c_str(), message.Text.c_str());
}

FTP_Server::~FTP_Server() { Terminate(); }

void FTP_Server::Terminate() {
  // 0 and already closed handles are passed as they are: the layer refuses
  // them harmlessly.
  InternetCloseHandle(FileHandle_);
  InternetCloseHandle(FindHandle_);
  InternetCloseHandle(ConnectionHandle_);
  InternetCloseHandle(SessionHandle_);
  Sleep(kTerminatePauseMs);
}

std::string FTP_Server::ZeroTerminate(const std::string& text) {
  if (!text.empty() && text.back() == '\0') return text;
  return text + '\0';
}

std::string FTP_Server::StripAtNul(const std::string& text) { return text.substr(0, text.find('\0')); }

void FTP_Server::SetDirectoryName(const QVariant& value) {
  DirectoryName_ = value.toString().toLocal8Bit().toStdString();
}

std::string FTP_Server::FoundFileName() const {
  return StripAtNul(std::string(FindData_.cFileName, sizeof FindData_.cFileName));
}

bool FTP_Server::IsConnected() const { return ConnectionHandle_ != nullptr; }

bool FTP_Server::ConnectedToInternet() const { return SessionHandle_ != nullptr; }

void FTP_Server::ConnectToServer() {
  InternetCloseHandle(ConnectionHandle_);
  ConnectionHandle_ = InternetConnectA(SessionHandle_, ServerName_.c_str(), INTERNET_DEFAULT_FTP_PORT,
                                       UserName_.c_str(), PassWord_.c_str(), INTERNET_SERVICE_FTP, 0, 0);
}

bool FTP_Server::OpenForWrite() {
  InternetCloseHandle(FileHandle_);
  FileHandle_ = FtpOpenFileA(ConnectionHandle_, WriteFileName_.c_str(), GENERIC_WRITE, FTP_TRANSFER_TYPE_BINARY, 0);
  return FileHandle_ != nullptr;
}

std::int32_t FTP_Server::WriteToFile() {
  DWORD written = 0;
  InternetWriteFile(FileHandle_, WriteBuffer_.data(), static_cast<DWORD>(WriteBuffer_.size()), &written);
  // Closing completes the upload; when the server then refuses the data,
  // nothing was written after all.
  if (!InternetCloseHandle(FileHandle_) && GetLastError() != ERROR_INVALID_HANDLE) written = 0;
  return static_cast<std::int32_t>(written);
}

bool FTP_Server::OpenForRead() {
  InternetCloseHandle(FileHandle_);
  FileHandle_ = FtpOpenFileA(ConnectionHandle_, ReadFileName_.c_str(), GENERIC_READ, FTP_TRANSFER_TYPE_BINARY, 0);
  return FileHandle_ != nullptr;
}

std::int32_t FTP_Server::GetFileSize() {
  DWORD high = 0;
  return static_cast<std::int32_t>(FtpGetFileSize(FileHandle_, &high));
}

void FTP_Server::SetReadLimit(std::int32_t bytes) { ReadLimit_ = std::clamp(bytes, 0, kDefaultReadLimit); }

bool FTP_Server::ReadPieces(const PieceReader& read, std::int32_t bufferSize, std::int32_t limit, std::string& out) {
  limit = std::max(limit, 0);
  // The working buffer: bufferSize spaces and a NUL, all of it offered to
  // each read; the last reads before the limit ask only for what is left
  // of it and one byte more, which tells a longer transfer apart.
  std::vector<char> buffer(static_cast<std::size_t>(std::clamp(bufferSize, 0, limit)) + 1, ' ');
  buffer.back() = '\0';
  std::size_t left = static_cast<std::size_t>(limit);
  for (;;) {
    const std::size_t asked = std::min(buffer.size(), left + 1);
    DWORD count = 0;
    const BOOL ok = read(buffer.data(), static_cast<DWORD>(asked), count);
    const std::size_t got = std::min<std::size_t>(count, asked);
    out.append(buffer.data(), std::min(got, left));
    if (got > left) return true;
    left -= got;
    if (got == 0 || !ok) return false;
  }
}

std::int32_t FTP_Server::ReadFromFile(std::int32_t bufferSize) {
  const std::size_t before = ReadBuffer_.size();
  ReadLimitReached_ = false;
  try {
    ReadLimitReached_ = ReadPieces(
        [this](char* buffer, DWORD size, DWORD& count) { return InternetReadFile(FileHandle_, buffer, size, &count); },
        bufferSize, ReadLimit_, ReadBuffer_);
  } catch (const std::bad_alloc&) {
    // An error during the loop ends it; what was read so far stays.
  }
  // A transfer cut at the limit is abandoned with its connection: closing
  // the file alone would read on to let the server end it.
  if (ReadLimitReached_) InternetCloseHandle(ConnectionHandle_);
  InternetCloseHandle(FileHandle_);
  return static_cast<std::int32_t>(ReadBuffer_.size() - before);
}

bool FTP_Server::DeleteFile() { return FtpDeleteFileA(ConnectionHandle_, DeleteFileName_.c_str()) != FALSE; }

bool FTP_Server::DownLoadFile() {
  return FtpGetFileA(ConnectionHandle_, DownloadFileName_.c_str(), NewDownLoadFileName_.c_str(),
                     FailIfExists_ ? TRUE : FALSE, 0, FTP_TRANSFER_TYPE_UNKNOWN, 0) != FALSE;
}

bool FTP_Server::UploadFile() {
  return FtpPutFileA(ConnectionHandle_, UpLoadFileName_.c_str(), NewUpLoadFileName_.c_str(), FTP_TRANSFER_TYPE_BINARY,
                     0) != FALSE;
}

bool FTP_Server::SetCurrentDirectory() {
  return FtpSetCurrentDirectoryA(ConnectionHandle_, DirectoryName_.c_str()) != FALSE;
}

std::string FTP_Server::GetCurrentDirectory() {
  std::vector<char> buffer(kDirectoryBufferLength, ' ');
  buffer.back() = '\0';
  DWORD length = kDirectoryBufferLength;
  if (!FtpGetCurrentDirectoryA(ConnectionHandle_, buffer.data(), &length)) return {};
  return std::string(buffer.data(), std::min<std::size_t>(length, buffer.size()));
}

HINTERNET FTP_Server::FindFirstFile() {
  HINTERNET found = FtpFindFirstFileA(ConnectionHandle_, FindFileName_.c_str(), &FindData_, 0, 0);
  if (GetLastError() == ERROR_FTP_TRANSFER_IN_PROGRESS) {
    // The previous search still holds the connection: end it and search again.
    InternetCloseHandle(FindHandle_);
    found = FtpFindFirstFileA(ConnectionHandle_, FindFileName_.c_str(), &FindData_, 0, 0);
  } else {
    InternetCloseHandle(FindHandle_);
  }
  FindHandle_ = found;
  return found;
}

bool FTP_Server::FindNextFile() {
  if (InternetFindNextFileA(FindHandle_, &FindData_)) return true;
  if (GetLastError() == ERROR_NO_MORE_FILES) Report({kNoMoreFilesText, kTitle, FtpMessage::Kind::Information});
  return false;
}

bool FTP_Server::CloseFile() {
  InternetCloseHandle(FileHandle_);
  return FileHandle_ == nullptr;
}

void FTP_Server::ShowLastResponseInfo() {
  DWORD error = 0;
  std::vector<char> buffer(kResponseBufferLength, ' ');
  buffer.back() = '\0';
  DWORD length = kResponseBufferLength;
  if (!InternetGetLastResponseInfoA(&error, buffer.data(), &length)) {
    Report({kNoResponseText, kTitle, FtpMessage::Kind::Information});
    return;
  }
  if (length == 0) return;
  std::string title = kTitle;
  if (error != 0) title += " Error " + std::to_string(error);
  const std::size_t shown = std::min<std::size_t>(length, buffer.size());
  Report({std::string(buffer.data(), shown), title, FtpMessage::Kind::Information});
}
