// The WinINet FTP calls over the handle table and FtpConnection.

#include "wininet/WinInet.h"

#include "wininet/FtpConnection.h"
#include "wininet/FtpListing.h"
#include "wininet/HandleTable.h"
#include "wininet/ResponseInfo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>
#include <optional>
#include <random>
#include <string>

using wininet::FtpConnection;
using wininet::HandleKind;
using wininet::HandleTable;
using wininet::InternetObject;

namespace {

constexpr DWORD kInvalidFileSize = 0xFFFFFFFF;

class SessionObject : public InternetObject {
 public:
  explicit SessionObject(std::optional<std::string> proxy)
      : InternetObject(HandleKind::Session), proxy_(std::move(proxy)) {}
  const std::optional<std::string>& Proxy() const { return proxy_; }
  DWORD Close(bool) override { return ERROR_SUCCESS; }

 private:
  std::optional<std::string> proxy_;
};

// A logged-in control connection. opMutex serialises every use of ftp; a
// file or find handle open on the connection makes it busy, as in WinINet.
class ConnectionObject : public InternetObject {
 public:
  explicit ConnectionObject(wininet::FtpEndpoint endpoint)
      : InternetObject(HandleKind::Connection), ftp(std::make_unique<FtpConnection>(std::move(endpoint))) {}

  DWORD Close(bool) override {
    std::unique_ptr<FtpConnection> closing;
    {
      std::lock_guard lock(opMutex);
      closing = std::move(ftp);
    }
    return ERROR_SUCCESS;  // closing (QUIT) happens here, outside the lock
  }

  std::mutex opMutex;
  std::unique_ptr<FtpConnection> ftp;  // null once closed
  std::atomic<bool> busy{false};
};

class FileObject : public InternetObject {
 public:
  FileObject(std::shared_ptr<ConnectionObject> connection, bool write)
      : InternetObject(HandleKind::File), connection(std::move(connection)), write(write) {}

  DWORD Close(bool direct) override {
    std::lock_guard lock(connection->opMutex);
    if (connection->ftp == nullptr || finished) return ERROR_SUCCESS;
    finished = true;
    FtpConnection& ftp = *connection->ftp;
    DWORD error = ERROR_SUCCESS;
    ftp.BeginCall(nullptr);
    if (write) {
      // Closing completes the upload: end of data, then the server's verdict.
      error = ftp.FinishUpload();
    } else {
      // A reader that stops early: a direct close lets the transfer end
      // properly; a close through the parent cuts it at once.
      ftp.CloseDownload(direct);
    }
    ftp.EndCall(error);
    connection->busy = false;
    return error;
  }

  std::shared_ptr<ConnectionObject> connection;
  const bool write;
  bool finished = false;  // under connection->opMutex
  std::optional<std::uint64_t> size;
  wininet::FtpReply sizeReply;
};

class FindObject : public InternetObject {
 public:
  FindObject(std::shared_ptr<ConnectionObject> connection, std::vector<WIN32_FIND_DATAA> entries)
      : InternetObject(HandleKind::Find), connection(std::move(connection)), entries(std::move(entries)) {}

  DWORD Close(bool) override {
    connection->busy = false;
    return ERROR_SUCCESS;
  }

  std::shared_ptr<ConnectionObject> connection;
  std::mutex mutex;
  std::vector<WIN32_FIND_DATAA> entries;
  std::size_t next = 1;
};

bool InitialiseCurl() {
  static std::once_flag once;
  static bool ok = false;
  std::call_once(once, [] { ok = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
  return ok;
}

template <class T>
std::shared_ptr<T> Get(HINTERNET handle, HandleKind kind) {
  DWORD error = ERROR_SUCCESS;
  auto object = HandleTable::Instance().Lookup(handle, kind, error);
  if (object == nullptr) {
    SetLastError(error);
    return nullptr;
  }
  return std::static_pointer_cast<T>(object);
}

template <class R>
R Fail(DWORD error, R result) {
  SetLastError(error);
  return result;
}

BOOL Succeed() {
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

bool HasControlCharacters(const std::string& text) {
  for (unsigned char c : text)
    if (c < 0x20 || c == 0x7F) return true;
  return false;
}

bool IsHostCharacter(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_'; }

// "host", "host:port", "[v6]", "[v6]:port" or a bare IPv6 address.
DWORD ParseServerName(const std::string& server, INTERNET_PORT defaultPort, wininet::FtpEndpoint& endpoint) {
  if (server.empty()) return ERROR_INVALID_PARAMETER;
  std::string host = server;
  std::string port;
  if (server.front() == '[') {
    const auto close = server.find(']');
    if (close == std::string::npos) return ERROR_INTERNET_INVALID_URL;
    host = server.substr(0, close + 1);
    const std::string rest = server.substr(close + 1);
    if (!rest.empty()) {
      if (rest.front() != ':') return ERROR_INTERNET_INVALID_URL;
      port = rest.substr(1);
    }
    for (char c : host.substr(1, host.size() - 2))
      if (!std::isxdigit(static_cast<unsigned char>(c)) && c != ':' && c != '.') return ERROR_INTERNET_INVALID_URL;
  } else if (const auto colon = server.find(':'); colon != std::string::npos) {
    if (server.find(':', colon + 1) != std::string::npos) {
      for (char c : server)
        if (!std::isxdigit(static_cast<unsigned char>(c)) && c != ':' && c != '.') return ERROR_INTERNET_INVALID_URL;
      host = "[" + server + "]";
    } else {
      host = server.substr(0, colon);
      port = server.substr(colon + 1);
    }
  }
  if (host.empty()) return ERROR_INVALID_PARAMETER;
  if (host.front() != '[') {
    for (char c : host)
      if (!IsHostCharacter(c)) return ERROR_INTERNET_INVALID_URL;
  }
  int portNumber = defaultPort == INTERNET_INVALID_PORT_NUMBER ? INTERNET_DEFAULT_FTP_PORT : defaultPort;
  if (!port.empty() || server.back() == ':') {
    if (port.empty() || port.size() > 5) return ERROR_INTERNET_INVALID_URL;
    for (char c : port)
      if (!std::isdigit(static_cast<unsigned char>(c))) return ERROR_INTERNET_INVALID_URL;
    portNumber = std::stoi(port);
    if (portNumber < 1 || portNumber > 65535) return ERROR_INTERNET_INVALID_URL;
  }
  endpoint.host = host;
  endpoint.port = portNumber;
  return ERROR_SUCCESS;
}

// A remote name as the file calls take it.
DWORD CheckRemoteName(LPCSTR name) {
  if (name == nullptr || *name == '\0') return ERROR_INVALID_PARAMETER;
  const std::string text(name);
  if (HasControlCharacters(text) || text.back() == '/') return ERROR_INVALID_PARAMETER;
  return ERROR_SUCCESS;
}

// Locks the connection for one call; fails when it was closed meanwhile or
// a transfer or find is open on it.
class ConnectionCall {
 public:
  explicit ConnectionCall(ConnectionObject& connection) : connection_(connection), lock_(connection.opMutex) {}

  DWORD Check() const {
    if (connection_.ftp == nullptr || connection_.Cancelled()) return ERROR_INVALID_HANDLE;
    if (connection_.busy) return ERROR_FTP_TRANSFER_IN_PROGRESS;
    connection_.ftp->BeginCall(connection_.CancelFlag());
    return ERROR_SUCCESS;
  }
  FtpConnection& Ftp() { return *connection_.ftp; }

 private:
  ConnectionObject& connection_;
  std::unique_lock<std::mutex> lock_;
};

DWORD LocalError(int error) {
  switch (error) {
    case ENOENT:
      return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
      return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
      return ERROR_ACCESS_DENIED;
    case EEXIST:
      return ERROR_FILE_EXISTS;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    default:
      return ERROR_WRITE_FAULT;
  }
}

// A closed file descriptor's FILE, for the whole-file transfers.
struct FileCloser {
  void operator()(std::FILE* file) const {
    if (file != nullptr) std::fclose(file);
  }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// A temporary file beside target, created with the usual permissions.
std::string CreatePartFile(const std::string& target, FilePtr& file, int& error) {
  static std::atomic<unsigned> counter{0};
  std::random_device entropy;
  for (int attempt = 0; attempt < 16; ++attempt) {
    const std::string name = target + ".part-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + "-" +
                             std::to_string(entropy() % 100000);
    const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      error = errno;
      if (error == EEXIST) continue;
      return {};
    }
    file.reset(fdopen(fd, "wb"));
    if (file == nullptr) {
      error = errno;
      close(fd);
      unlink(name.c_str());
      return {};
    }
    return name;
  }
  return {};
}

// The quoted path of a 257 reply ("" inside stands for one quote).
std::optional<std::string> QuotedPath(const std::string& reply) {
  const auto open = reply.find('"');
  if (open == std::string::npos) return std::nullopt;
  std::string path;
  for (std::size_t i = open + 1; i < reply.size(); ++i) {
    if (reply[i] != '"') {
      path += reply[i];
    } else if (i + 1 < reply.size() && reply[i + 1] == '"') {
      path += '"';
      ++i;
    } else {
      return path;
    }
  }
  return std::nullopt;
}

}  // namespace

HINTERNET InternetOpenA(LPCSTR, DWORD accessType, LPCSTR proxy, LPCSTR, DWORD) {
  if (!InitialiseCurl()) return Fail<HINTERNET>(ERROR_INTERNET_INTERNAL_ERROR, nullptr);
  std::optional<std::string> proxySetting;
  switch (accessType) {
    case INTERNET_OPEN_TYPE_DIRECT:
      proxySetting = std::string();  // no proxy, whatever the environment says
      break;
    case INTERNET_OPEN_TYPE_PROXY:
      if (proxy == nullptr || *proxy == '\0' || HasControlCharacters(proxy))
        return Fail<HINTERNET>(ERROR_INVALID_PARAMETER, nullptr);
      proxySetting = std::string(proxy);
      break;
    case INTERNET_OPEN_TYPE_PRECONFIG:
    case 4:  // preconfigured, without auto-proxy
      break;
    default:
      return Fail<HINTERNET>(ERROR_INVALID_PARAMETER, nullptr);
  }
  DWORD error = ERROR_SUCCESS;
  HINTERNET handle = HandleTable::Instance().Insert(std::make_shared<SessionObject>(proxySetting), nullptr, error);
  if (handle == nullptr) return Fail<HINTERNET>(error, nullptr);
  SetLastError(ERROR_SUCCESS);
  return handle;
}

HINTERNET InternetConnectA(HINTERNET session, LPCSTR serverName, INTERNET_PORT serverPort, LPCSTR userName,
                           LPCSTR password, DWORD service, DWORD flags, std::uintptr_t) {
  auto sessionObject = Get<SessionObject>(session, HandleKind::Session);
  if (sessionObject == nullptr) return nullptr;
  if (service != INTERNET_SERVICE_FTP) return Fail<HINTERNET>(ERROR_INVALID_PARAMETER, nullptr);
  wininet::FtpEndpoint endpoint;
  if (const DWORD error = ParseServerName(serverName != nullptr ? serverName : "", serverPort, endpoint))
    return Fail<HINTERNET>(error, nullptr);
  endpoint.user = userName != nullptr ? userName : "";
  endpoint.password = password != nullptr ? password : "";
  if (HasControlCharacters(endpoint.user) || HasControlCharacters(endpoint.password))
    return Fail<HINTERNET>(ERROR_INVALID_PARAMETER, nullptr);
  endpoint.passive = (flags & INTERNET_FLAG_PASSIVE) != 0;
  endpoint.proxy = sessionObject->Proxy();

  auto connection = std::make_shared<ConnectionObject>(std::move(endpoint));
  {
    std::lock_guard lock(connection->opMutex);
    FtpConnection& ftp = *connection->ftp;
    // Closing the session abandons a login in progress.
    ftp.BeginCall(sessionObject->CancelFlag());
    const DWORD error = ftp.Login();
    ftp.EndCall(error, true);
    if (error != ERROR_SUCCESS) return Fail<HINTERNET>(error, nullptr);
  }
  DWORD error = ERROR_SUCCESS;
  HINTERNET handle = HandleTable::Instance().Insert(connection, session, error);
  if (handle == nullptr) {
    connection->Close(true);
    return Fail<HINTERNET>(error, nullptr);
  }
  SetLastError(ERROR_SUCCESS);
  return handle;
}

HINTERNET FtpOpenFileA(HINTERNET connection, LPCSTR fileName, DWORD access, DWORD flags, std::uintptr_t) {
  auto object = Get<ConnectionObject>(connection, HandleKind::Connection);
  if (object == nullptr) return nullptr;
  if (const DWORD error = CheckRemoteName(fileName)) return Fail<HINTERNET>(error, nullptr);
  if (access != GENERIC_READ && access != GENERIC_WRITE) return Fail<HINTERNET>(ERROR_INVALID_PARAMETER, nullptr);
  const bool write = access == GENERIC_WRITE;
  const bool ascii = (flags & 3) == FTP_TRANSFER_TYPE_ASCII;

  ConnectionCall call(*object);
  if (const DWORD error = call.Check()) return Fail<HINTERNET>(error, nullptr);
  FtpConnection& ftp = call.Ftp();
  DWORD error = write ? ftp.OpenUpload(fileName, ascii) : ftp.OpenDownload(fileName, ascii);
  ftp.EndCall(error);
  if (error != ERROR_SUCCESS) return Fail<HINTERNET>(error, nullptr);

  auto file = std::make_shared<FileObject>(object, write);
  if (!write) {
    file->size = ftp.RemoteSize();
    file->sizeReply = ftp.SizeReply();
  }
  object->busy = true;
  HINTERNET handle = HandleTable::Instance().Insert(file, connection, error);
  if (handle == nullptr) {
    object->busy = false;
    ftp.Abort();
    return Fail<HINTERNET>(error, nullptr);
  }
  SetLastError(ERROR_SUCCESS);
  return handle;
}

BOOL InternetReadFile(HINTERNET file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead) {
  if (bytesRead == nullptr) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  *bytesRead = 0;
  auto object = Get<FileObject>(file, HandleKind::File);
  if (object == nullptr) return FALSE;
  if (buffer == nullptr && bytesToRead > 0) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  if (object->write) return Fail(ERROR_ACCESS_DENIED, FALSE);
  std::lock_guard lock(object->connection->opMutex);
  FtpConnection* ftp = object->connection->ftp.get();
  if (ftp == nullptr || object->Cancelled() || object->finished) return Fail(ERROR_INVALID_HANDLE, FALSE);
  ftp->BeginCall(object->CancelFlag());
  DWORD got = 0;
  const DWORD error = ftp->Read(static_cast<char*>(buffer), bytesToRead, got);
  ftp->EndCall(error);
  // Bytes that arrived before a failure are reported with it.
  *bytesRead = got;
  if (error != ERROR_SUCCESS) return Fail(error, FALSE);
  return Succeed();
}

BOOL InternetWriteFile(HINTERNET file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten) {
  if (bytesWritten == nullptr) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  *bytesWritten = 0;
  auto object = Get<FileObject>(file, HandleKind::File);
  if (object == nullptr) return FALSE;
  if (buffer == nullptr && bytesToWrite > 0) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  if (!object->write) return Fail(ERROR_ACCESS_DENIED, FALSE);
  std::lock_guard lock(object->connection->opMutex);
  FtpConnection* ftp = object->connection->ftp.get();
  if (ftp == nullptr || object->Cancelled() || object->finished) return Fail(ERROR_INVALID_HANDLE, FALSE);
  ftp->BeginCall(object->CancelFlag());
  DWORD put = 0;
  const DWORD error = ftp->Write(static_cast<const char*>(buffer), bytesToWrite, put);
  ftp->EndCall(error);
  *bytesWritten = put;
  if (error != ERROR_SUCCESS) return Fail(error, FALSE);
  return Succeed();
}

DWORD FtpGetFileSize(HINTERNET file, LPDWORD fileSizeHigh) {
  if (fileSizeHigh != nullptr) *fileSizeHigh = 0;
  auto object = Get<FileObject>(file, HandleKind::File);
  if (object == nullptr) return kInvalidFileSize;
  if (!object->size) {
    // The server did not report a size (no SIZE, or it refused it).
    wininet::SetThreadResponse(ERROR_INTERNET_EXTENDED_ERROR, object->sizeReply.text);
    return Fail(ERROR_INTERNET_EXTENDED_ERROR, kInvalidFileSize);
  }
  if (fileSizeHigh != nullptr) *fileSizeHigh = static_cast<DWORD>(*object->size >> 32);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(*object->size & 0xFFFFFFFFu);
}

BOOL InternetCloseHandle(HINTERNET handle) {
  auto removed = HandleTable::Instance().Remove(handle);
  if (removed.empty()) return Fail(ERROR_INVALID_HANDLE, FALSE);
  // Children first, the handle itself last. The first failure (an upload
  // the server did not take) is what the call reports.
  DWORD result = ERROR_SUCCESS;
  for (std::size_t i = 0; i < removed.size(); ++i) {
    const DWORD error = removed[i]->Close(i + 1 == removed.size());
    if (result == ERROR_SUCCESS) result = error;
  }
  if (result != ERROR_SUCCESS) return Fail(result, FALSE);
  return Succeed();
}

BOOL FtpDeleteFileA(HINTERNET connection, LPCSTR fileName) {
  auto object = Get<ConnectionObject>(connection, HandleKind::Connection);
  if (object == nullptr) return FALSE;
  if (const DWORD error = CheckRemoteName(fileName)) return Fail(error, FALSE);
  ConnectionCall call(*object);
  if (const DWORD error = call.Check()) return Fail(error, FALSE);
  const DWORD error = call.Ftp().Command(std::string("DELE ") + fileName, nullptr);
  call.Ftp().EndCall(error);
  if (error != ERROR_SUCCESS) return Fail(error, FALSE);
  return Succeed();
}

BOOL FtpSetCurrentDirectoryA(HINTERNET connection, LPCSTR directory) {
  auto object = Get<ConnectionObject>(connection, HandleKind::Connection);
  if (object == nullptr) return FALSE;
  if (directory == nullptr || *directory == '\0' || HasControlCharacters(directory))
    return Fail(ERROR_INVALID_PARAMETER, FALSE);
  ConnectionCall call(*object);
  if (const DWORD error = call.Check()) return Fail(error, FALSE);
  const DWORD error = call.Ftp().Command(std::string("CWD ") + directory, nullptr);
  call.Ftp().EndCall(error);
  if (error != ERROR_SUCCESS) return Fail(error, FALSE);
  return Succeed();
}

BOOL FtpGetCurrentDirectoryA(HINTERNET connection, LPSTR currentDirectory, LPDWORD length) {
  auto object = Get<ConnectionObject>(connection, HandleKind::Connection);
  if (object == nullptr) return FALSE;
  if (length == nullptr || (currentDirectory == nullptr && *length > 0)) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  ConnectionCall call(*object);
  if (const DWORD error = call.Check()) return Fail(error, FALSE);
  wininet::FtpReply reply;
  DWORD error = call.Ftp().Command("PWD", &reply);
  std::optional<std::string> path;
  if (error == ERROR_SUCCESS) {
    path = QuotedPath(reply.text);
    if (!path) error = ERROR_INTERNET_EXTENDED_ERROR;
  }
  call.Ftp().EndCall(error);
  if (error != ERROR_SUCCESS) return Fail(error, FALSE);
  if (*length < path->size() + 1) {
    *length = static_cast<DWORD>(path->size() + 1);
    return Fail(ERROR_INSUFFICIENT_BUFFER, FALSE);
  }
  std::memcpy(currentDirectory, path->c_str(), path->size() + 1);
  *length = static_cast<DWORD>(path->size());
  return Succeed();
}

BOOL FtpGetFileA(HINTERNET connection, LPCSTR remoteFile, LPCSTR newFile, BOOL failIfExists, DWORD, DWORD flags,
                 std::uintptr_t) {
  auto object = Get<ConnectionObject>(connection, HandleKind::Connection);
  if (object == nullptr) return FALSE;
  if (const DWORD error = CheckRemoteName(remoteFile)) return Fail(error, FALSE);
  if (newFile == nullptr || *newFile == '\0') return Fail(ERROR_INVALID_PARAMETER, FALSE);
  const std::string target(newFile);
  struct stat info {};
  if (failIfExists && lstat(target.c_str(), &info) == 0) return Fail(ERROR_FILE_EXISTS, FALSE);

  ConnectionCall call(*object);
  if (const DWORD error = call.Check()) return Fail(error, FALSE);
  // The download goes to a temporary file beside the target, which replaces
  // the target only when complete: a failed download leaves nothing behind.
  FilePtr file;
  int localError = 0;
  const std::string part = CreatePartFile(target, file, localError);
  if (part.empty()) {
    call.Ftp().EndCall(ERROR_SUCCESS);
    return Fail(LocalError(localError), FALSE);
  }
  DWORD error = call.Ftp().DownloadToFile(remoteFile, (flags & 3) == FTP_TRANSFER_TYPE_ASCII, file.get());
  call.Ftp().EndCall(error);
  if (std::fclose(file.release()) != 0 && error == ERROR_SUCCESS) error = ERROR_WRITE_FAULT;
  if (error == ERROR_SUCCESS) {
    if (failIfExists) {
      // link() never replaces: a file that appeared meanwhile is kept.
      if (link(part.c_str(), target.c_str()) != 0) error = LocalError(errno);
    } else if (rename(part.c_str(), target.c_str()) != 0) {
      error = LocalError(errno);
    }
  }
  unlink(part.c_str());
  if (error != ERROR_SUCCESS) return Fail(error, FALSE);
  return Succeed();
}

BOOL FtpPutFileA(HINTERNET connection, LPCSTR localFile, LPCSTR newRemoteFile, DWORD flags, std::uintptr_t) {
  auto object = Get<ConnectionObject>(connection, HandleKind::Connection);
  if (object == nullptr) return FALSE;
  if (const DWORD error = CheckRemoteName(newRemoteFile)) return Fail(error, FALSE);
  if (localFile == nullptr || *localFile == '\0') return Fail(ERROR_INVALID_PARAMETER, FALSE);
  FilePtr file(std::fopen(localFile, "rb"));
  if (file == nullptr) return Fail(errno == ENOENT ? ERROR_FILE_NOT_FOUND : LocalError(errno), FALSE);
  struct stat info {};
  if (fstat(fileno(file.get()), &info) != 0 || !S_ISREG(info.st_mode)) return Fail(ERROR_ACCESS_DENIED, FALSE);

  ConnectionCall call(*object);
  if (const DWORD error = call.Check()) return Fail(error, FALSE);
  const DWORD error =
      call.Ftp().UploadFromFile(newRemoteFile, (flags & 3) == FTP_TRANSFER_TYPE_ASCII, file.get(), info.st_size);
  call.Ftp().EndCall(error);
  if (error != ERROR_SUCCESS) return Fail(error, FALSE);
  return Succeed();
}

HINTERNET FtpFindFirstFileA(HINTERNET connection, LPCSTR searchFile, LPWIN32_FIND_DATAA findData, DWORD,
                            std::uintptr_t) {
  auto object = Get<ConnectionObject>(connection, HandleKind::Connection);
  if (object == nullptr) return nullptr;
  const std::string pattern = searchFile != nullptr ? searchFile : "";
  if (HasControlCharacters(pattern)) return Fail<HINTERNET>(ERROR_INVALID_PARAMETER, nullptr);

  // Wildcards are matched here, since servers differ in what LIST accepts:
  // the folder part is listed and its names filtered.
  const auto slash = pattern.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : pattern.substr(0, slash == 0 ? 1 : slash);
  const std::string namePart = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
  const bool wildcards = wininet::HasWildcards(namePart);
  if (wininet::HasWildcards(folder)) return Fail<HINTERNET>(ERROR_INVALID_PARAMETER, nullptr);
  std::string command = "LIST";
  if (wildcards && !folder.empty()) command += " " + folder;
  if (!wildcards && !pattern.empty()) command += " " + pattern;

  ConnectionCall call(*object);
  if (const DWORD error = call.Check()) return Fail<HINTERNET>(error, nullptr);
  std::string listing;
  DWORD error = call.Ftp().Listing(command, listing);
  call.Ftp().EndCall(error);
  if (error != ERROR_SUCCESS) return Fail<HINTERNET>(error, nullptr);

  std::vector<WIN32_FIND_DATAA> entries;
  for (const auto& entry : wininet::ParseListing(listing, std::time(nullptr)))
    if (!wildcards || wininet::WildcardMatch(namePart, entry.cFileName)) entries.push_back(entry);
  if (entries.empty()) return Fail<HINTERNET>(ERROR_NO_MORE_FILES, nullptr);

  if (findData != nullptr) *findData = entries.front();
  auto find = std::make_shared<FindObject>(object, std::move(entries));
  object->busy = true;
  HINTERNET handle = HandleTable::Instance().Insert(find, connection, error);
  if (handle == nullptr) {
    object->busy = false;
    return Fail<HINTERNET>(error, nullptr);
  }
  SetLastError(ERROR_SUCCESS);
  return handle;
}

BOOL InternetFindNextFileA(HINTERNET find, LPVOID findData) {
  auto object = Get<FindObject>(find, HandleKind::Find);
  if (object == nullptr) return FALSE;
  if (findData == nullptr) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  std::lock_guard lock(object->mutex);
  if (object->next >= object->entries.size()) return Fail(ERROR_NO_MORE_FILES, FALSE);
  *static_cast<WIN32_FIND_DATAA*>(findData) = object->entries[object->next++];
  return Succeed();
}

BOOL InternetGetLastResponseInfoA(LPDWORD error, LPSTR buffer, LPDWORD bufferLength) {
  if (error == nullptr || bufferLength == nullptr) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  *error = wininet::ThreadResponseError();
  const std::string& text = wininet::ThreadResponseText();
  if (text.empty()) {
    if (buffer != nullptr && *bufferLength > 0) buffer[0] = '\0';
    *bufferLength = 0;
    return TRUE;
  }
  if (buffer == nullptr || *bufferLength < text.size() + 1) {
    *bufferLength = static_cast<DWORD>(text.size() + 1);
    return Fail(ERROR_INSUFFICIENT_BUFFER, FALSE);
  }
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  *bufferLength = static_cast<DWORD>(text.size());
  return TRUE;
}
