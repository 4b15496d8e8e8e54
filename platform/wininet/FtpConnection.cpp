#include "wininet/FtpConnection.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

namespace wininet {

namespace {

std::string VerbOf(std::string_view command) {
  std::string verb;
  for (char c : command) {
    if (c == ' ' || c == '\r' || c == '\n') break;
    verb += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return verb;
}

}  // namespace

bool EncodeRemotePath(const std::string& name, std::string& path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  path.clear();
  for (unsigned char c : name) {
    if (c < 0x20 || c == 0x7F) return false;
    // Dots are encoded too, so that "." and ".." segments reach the server
    // as written instead of being folded away by URL normalisation.
    if (std::isalnum(c) || c == '-' || c == '_' || c == '~' || c == '/' || c == ':') {
      path += static_cast<char>(c);
    } else {
      path += '%';
      path += kHex[c >> 4];
      path += kHex[c & 0x0F];
    }
  }
  return true;
}

FtpConnection::FtpConnection(FtpEndpoint endpoint)
    : endpoint_(std::move(endpoint)), multi_(curl_multi_init()), easy_(curl_easy_init()) {
  baseUrl_ = "ftp://" + endpoint_.host + ":" + std::to_string(endpoint_.port) + "/";
}

FtpConnection::~FtpConnection() {
  Detach();
  // The multi handle closes the cached control connection (sending QUIT)
  // with the reply timeout of the request added to it last. A handle added
  // and removed again without running sets the short one of the goodbye.
  if (easy_ != nullptr && multi_ != nullptr) {
    curl_easy_setopt(easy_.get(), CURLOPT_SERVER_RESPONSE_TIMEOUT, FtpLimits::kQuitTimeoutS);
    if (curl_multi_add_handle(multi_.get(), easy_.get()) == CURLM_OK)
      curl_multi_remove_handle(multi_.get(), easy_.get());
  }
  // The easy handle goes first; then the multi handle.
  easy_.reset();
  multi_.reset();
}

void FtpConnection::BeginCall(const std::atomic<bool>* cancel) {
  cancel_ = cancel;
  replies_.clear();
  Touch();
}

void FtpConnection::EndCall(DWORD error, bool login) {
  cancel_ = nullptr;
  if (replies_.empty() && error == ERROR_SUCCESS) return;
  const FtpReply* chosen = replies_.empty() ? nullptr : &replies_.back();
  if (login && error == ERROR_SUCCESS) {
    for (auto it = replies_.rbegin(); it != replies_.rend(); ++it) {
      if (it->command == "PASS" || it->command == "USER") {
        chosen = &*it;
        break;
      }
    }
  }
  SetThreadResponse(error, chosen != nullptr ? chosen->text : std::string());
}

// --- libcurl callbacks -------------------------------------------------------

std::size_t FtpConnection::OnWrite(char* data, std::size_t size, std::size_t count, void* self) {
  return static_cast<FtpConnection*>(self)->Received(data, size * count);
}

std::size_t FtpConnection::OnRead(char* buffer, std::size_t size, std::size_t count, void* self) {
  return static_cast<FtpConnection*>(self)->Provide(buffer, size * count);
}

int FtpConnection::OnDebug(CURL*, curl_infotype type, char* data, std::size_t size, void* self) {
  if (type == CURLINFO_HEADER_IN || type == CURLINFO_HEADER_OUT)
    static_cast<FtpConnection*>(self)->Protocol(type, std::string_view(data, size));
  return 0;
}

std::size_t FtpConnection::Received(const char* data, std::size_t size) {
  Transfer& x = xfer_;
  switch (x.sink) {
    case Sink::Stream:
      if (x.pending.size() - x.pendingPos >= FtpLimits::kStreamBuffer) {
        // The reader is behind: hold the data in libcurl until it catches up.
        x.recvPaused = true;
        return CURL_WRITEFUNC_PAUSE;
      }
      x.pending.append(data, size);
      break;
    case Sink::Memory:
      if (x.memory->size() + size > FtpLimits::kListingLimit) {
        x.localErrno = ENOMEM;
        return 0;
      }
      x.memory->append(data, size);
      break;
    case Sink::File:
      if (std::fwrite(data, 1, size, x.file) != size) {
        x.localErrno = errno != 0 ? errno : EIO;
        return 0;
      }
      break;
    case Sink::Discard:
      x.discarded += size;
      break;
    case Sink::None:
      break;
  }
  if (size > 0) Touch();
  return size;
}

std::size_t FtpConnection::Provide(char* buffer, std::size_t size) {
  Transfer& x = xfer_;
  if (x.source == Source::File) {
    const std::size_t n = std::fread(buffer, 1, size, x.file);
    if (n == 0 && std::ferror(x.file)) {
      x.localErrno = errno != 0 ? errno : EIO;
      return CURL_READFUNC_ABORT;
    }
    if (n > 0) Touch();
    return n;
  }
  if (x.source != Source::Caller) return 0;
  if (x.srcPos < x.srcLen) {
    const std::size_t n = std::min(size, x.srcLen - x.srcPos);
    std::memcpy(buffer, x.src + x.srcPos, n);
    x.srcPos += n;
    x.awaitingData = false;
    Touch();
    return n;
  }
  if (x.endOfData) return 0;
  // Everything given so far has gone to the socket; wait for the next write.
  x.awaitingData = true;
  x.sendPaused = true;
  return CURL_READFUNC_PAUSE;
}

void FtpConnection::Protocol(curl_infotype type, std::string_view text) {
  Touch();
  if (type == CURLINFO_HEADER_OUT) {
    lastCommand_ = VerbOf(text);
    return;
  }
  // A reply may arrive in several debug calls, one line each.
  while (!text.empty()) {
    const auto nl = text.find('\n');
    const std::string_view line = text.substr(0, nl == std::string_view::npos ? text.size() : nl + 1);
    text.remove_prefix(line.size());
    if (!parser_.Line(line, lastCommand_)) continue;
    const FtpReply& reply = parser_.Last();
    replies_.push_back(reply);
    if (reply.code / 100 == 1) xfer_.preliminary = true;
    if (reply.command == "SIZE") {
      if (const std::optional<std::uint64_t> size = SizeOfReply(reply))
        remoteSize_ = size;
      else
        sizeReply_ = reply;
    }
  }
}

// --- request plumbing --------------------------------------------------------

void FtpConnection::Prepare(const std::string& path) {
  Detach();
  xfer_ = Transfer{};
  quote_.reset();
  CURL* e = easy_.get();
  if (e == nullptr) return;
  curl_easy_reset(e);
  const std::string url = baseUrl_ + path;
  curl_easy_setopt(e, CURLOPT_URL, url.c_str());
  curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "ftp");
  curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(e, CURLOPT_VERBOSE, 1L);
  curl_easy_setopt(e, CURLOPT_DEBUGFUNCTION, &FtpConnection::OnDebug);
  curl_easy_setopt(e, CURLOPT_DEBUGDATA, this);
  curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &FtpConnection::OnWrite);
  curl_easy_setopt(e, CURLOPT_WRITEDATA, this);
  curl_easy_setopt(e, CURLOPT_READFUNCTION, &FtpConnection::OnRead);
  curl_easy_setopt(e, CURLOPT_READDATA, this);
  curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, FtpLimits::kConnectTimeoutMs);
  curl_easy_setopt(e, CURLOPT_SERVER_RESPONSE_TIMEOUT, FtpLimits::kReplyTimeoutS);
  curl_easy_setopt(e, CURLOPT_ACCEPTTIMEOUT_MS, FtpLimits::kAcceptTimeoutMs);
  // Names go to the server as given, relative to its current directory.
  curl_easy_setopt(e, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
  if (!endpoint_.passive) curl_easy_setopt(e, CURLOPT_FTPPORT, "-");
  if (!endpoint_.user.empty()) {
    curl_easy_setopt(e, CURLOPT_USERNAME, endpoint_.user.c_str());
    curl_easy_setopt(e, CURLOPT_PASSWORD, endpoint_.password.c_str());
  } else if (!endpoint_.password.empty()) {
    curl_easy_setopt(e, CURLOPT_USERNAME, "anonymous");
    curl_easy_setopt(e, CURLOPT_PASSWORD, endpoint_.password.c_str());
  }
  if (endpoint_.proxy) curl_easy_setopt(e, CURLOPT_PROXY, endpoint_.proxy->c_str());
}

void FtpConnection::Start() {
  if (easy_ == nullptr || multi_ == nullptr) return;
  if (curl_multi_add_handle(multi_.get(), easy_.get()) == CURLM_OK) added_ = true;
}

void FtpConnection::Detach() {
  if (!added_) return;
  curl_multi_remove_handle(multi_.get(), easy_.get());
  added_ = false;
}

void FtpConnection::Finish(DWORD error) {
  if (xfer_.done) return;
  xfer_.done = true;
  xfer_.error = error;
}

FtpConnection::Wait FtpConnection::Drive(const std::function<bool()>& ready) {
  if (!added_ && !xfer_.done) Finish(ERROR_NOT_ENOUGH_MEMORY);
  for (;;) {
    if (ready()) return Wait::Ready;
    if (xfer_.done) return Wait::Ended;
    if (cancel_ != nullptr && cancel_->load()) return Wait::Cancelled;
    int running = 0;
    if (curl_multi_perform(multi_.get(), &running) != CURLM_OK) return Wait::Failed;
    int queued = 0;
    while (CURLMsg* msg = curl_multi_info_read(multi_.get(), &queued)) {
      if (msg->msg == CURLMSG_DONE && msg->easy_handle == easy_.get()) {
        xfer_.result = msg->data.result;
        Detach();
        DWORD error = MapResult(xfer_.result);
        // A transfer the server ended with a refusal (426, 451, 552 ...) is
        // the server's word, kept in the response info.
        if (error == ERROR_INTERNET_CONNECTION_ABORTED && !replies_.empty() && replies_.back().code >= 400)
          error = ERROR_INTERNET_EXTENDED_ERROR;
        Finish(error);
      }
    }
    if (ready()) return Wait::Ready;
    if (xfer_.done) return Wait::Ended;
    if (std::chrono::steady_clock::now() - lastProgress_ > FtpLimits::kStallTimeout) return Wait::Stalled;
    curl_multi_poll(multi_.get(), nullptr, 0, FtpLimits::kPollStepMs, nullptr);
  }
}

void FtpConnection::Abort() {
  // Removing a running transfer makes libcurl drop the control connection;
  // the next request logs in afresh.
  Detach();
  Finish(ERROR_INTERNET_OPERATION_CANCELLED);
}

DWORD FtpConnection::ErrorOf(Wait wait) {
  switch (wait) {
    case Wait::Ready:
      return ERROR_SUCCESS;
    case Wait::Ended:
      return xfer_.error;
    case Wait::Cancelled:
      Abort();
      return ERROR_INTERNET_OPERATION_CANCELLED;
    case Wait::Stalled:
      Detach();
      Finish(ERROR_INTERNET_TIMEOUT);
      return ERROR_INTERNET_TIMEOUT;
    case Wait::Failed:
      Detach();
      Finish(ERROR_INTERNET_INTERNAL_ERROR);
      return ERROR_INTERNET_INTERNAL_ERROR;
  }
  return ERROR_INTERNET_INTERNAL_ERROR;
}

DWORD FtpConnection::RunToEnd() {
  return ErrorOf(Drive([] { return false; }));
}

DWORD FtpConnection::MapResult(CURLcode code) const {
  switch (code) {
    case CURLE_OK:
      return ERROR_SUCCESS;
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
      return ERROR_INTERNET_INVALID_URL;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
      return ERROR_INTERNET_NAME_NOT_RESOLVED;
    case CURLE_COULDNT_CONNECT:
    case CURLE_FTP_ACCEPT_FAILED:
      return ERROR_INTERNET_CANNOT_CONNECT;
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_FTP_ACCEPT_TIMEOUT:
      return ERROR_INTERNET_TIMEOUT;
    case CURLE_LOGIN_DENIED:
      return ERROR_INTERNET_LOGIN_FAILURE;
    case CURLE_FTP_WEIRD_PASV_REPLY:
    case CURLE_FTP_WEIRD_227_FORMAT:
    case CURLE_FTP_CANT_GET_HOST:
      return ERROR_FTP_NO_PASSIVE_MODE;
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_REMOTE_ACCESS_DENIED:
    case CURLE_FTP_COULDNT_SET_TYPE:
    case CURLE_FTP_COULDNT_RETR_FILE:
    case CURLE_REMOTE_FILE_NOT_FOUND:
    case CURLE_QUOTE_ERROR:
    case CURLE_UPLOAD_FAILED:
    case CURLE_FTP_PORT_FAILED:
    case CURLE_FTP_PRET_FAILED:
      return ERROR_INTERNET_EXTENDED_ERROR;
    case CURLE_PARTIAL_FILE:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
      return ERROR_INTERNET_CONNECTION_ABORTED;
    case CURLE_OUT_OF_MEMORY:
      return ERROR_NOT_ENOUGH_MEMORY;
    case CURLE_WRITE_ERROR:
      return xfer_.localErrno == ENOMEM ? ERROR_NOT_ENOUGH_MEMORY : ERROR_WRITE_FAULT;
    case CURLE_READ_ERROR:
    case CURLE_ABORTED_BY_CALLBACK:
      return ERROR_READ_FAULT;
    default:
      return ERROR_INTERNET_INTERNAL_ERROR;
  }
}

// --- requests ----------------------------------------------------------------

DWORD FtpConnection::Login() {
  if (easy_ == nullptr || multi_ == nullptr) return ERROR_NOT_ENOUGH_MEMORY;
  Prepare("");
  // A request without body on the root logs in and keeps the connection.
  curl_easy_setopt(easy_.get(), CURLOPT_NOBODY, 1L);
  Start();
  return RunToEnd();
}

DWORD FtpConnection::Command(const std::string& command, FtpReply* reply) {
  Prepare("");
  // '*': a refusal is the server's answer, not a reason to drop the
  // connection; the reply decides.
  quote_.reset(curl_slist_append(nullptr, ("*" + command).c_str()));
  if (quote_ == nullptr) return ERROR_NOT_ENOUGH_MEMORY;
  curl_easy_setopt(easy_.get(), CURLOPT_NOBODY, 1L);
  curl_easy_setopt(easy_.get(), CURLOPT_QUOTE, quote_.get());
  Start();
  if (const DWORD error = RunToEnd(); error != ERROR_SUCCESS) return error;
  const std::string verb = VerbOf(command);
  const auto answer =
      std::find_if(replies_.rbegin(), replies_.rend(), [&](const FtpReply& r) { return r.command == verb; });
  if (answer == replies_.rend()) return ERROR_INTERNET_EXTENDED_ERROR;
  if (reply != nullptr) *reply = *answer;
  return answer->code / 100 == 2 ? ERROR_SUCCESS : ERROR_INTERNET_EXTENDED_ERROR;
}

DWORD FtpConnection::Listing(const std::string& command, std::string& text) {
  Prepare("");
  curl_easy_setopt(easy_.get(), CURLOPT_CUSTOMREQUEST, command.c_str());
  xfer_.sink = Sink::Memory;
  xfer_.memory = &text;
  Start();
  return RunToEnd();
}

DWORD FtpConnection::DownloadToFile(const std::string& remote, bool ascii, std::FILE* local) {
  std::string path;
  if (!EncodeRemotePath(remote, path)) return ERROR_INVALID_PARAMETER;
  Prepare(path);
  curl_easy_setopt(easy_.get(), CURLOPT_TRANSFERTEXT, ascii ? 1L : 0L);
  // Whole file: until the server ends the transfer, whatever SIZE would say.
  curl_easy_setopt(easy_.get(), CURLOPT_IGNORE_CONTENT_LENGTH, 1L);
  xfer_.sink = Sink::File;
  xfer_.file = local;
  Start();
  return RunToEnd();
}

DWORD FtpConnection::UploadFromFile(const std::string& remote, bool ascii, std::FILE* local, std::int64_t size) {
  std::string path;
  if (!EncodeRemotePath(remote, path)) return ERROR_INVALID_PARAMETER;
  Prepare(path);
  curl_easy_setopt(easy_.get(), CURLOPT_UPLOAD, 1L);
  curl_easy_setopt(easy_.get(), CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(size));
  curl_easy_setopt(easy_.get(), CURLOPT_TRANSFERTEXT, ascii ? 1L : 0L);
  xfer_.source = Source::File;
  xfer_.file = local;
  Start();
  return RunToEnd();
}

DWORD FtpConnection::OpenDownload(const std::string& remote, bool ascii) {
  std::string path;
  if (!EncodeRemotePath(remote, path)) return ERROR_INVALID_PARAMETER;
  remoteSize_.reset();
  sizeReply_ = FtpReply{};
  Prepare(path);
  curl_easy_setopt(easy_.get(), CURLOPT_TRANSFERTEXT, ascii ? 1L : 0L);
  // The transfer ends when the server ends it. A size reply is only what
  // FtpGetFileSize reports: a file that grew after SIZE (a progress file) or
  // a server that sizes files loosely must not cut a read short or fail it.
  curl_easy_setopt(easy_.get(), CURLOPT_IGNORE_CONTENT_LENGTH, 1L);
  if (!ascii) {
    // Asked just before the RETR; a refusal ('*') is no reason to fail.
    quote_.reset(curl_slist_append(nullptr, ("*SIZE " + remote).c_str()));
    if (quote_ == nullptr) return ERROR_NOT_ENOUGH_MEMORY;
    curl_easy_setopt(easy_.get(), CURLOPT_PREQUOTE, quote_.get());
  }
  xfer_.sink = Sink::Stream;
  Start();
  // Open once the server has accepted the RETR (its 1xx reply) or data flows;
  // a refusal (550) ends the request here.
  const Wait wait = Drive([this] { return xfer_.preliminary || xfer_.pending.size() > xfer_.pendingPos; });
  return ErrorOf(wait);
}

DWORD FtpConnection::Read(char* buffer, DWORD size, DWORD& got) {
  Transfer& x = xfer_;
  got = 0;
  for (;;) {
    const std::size_t n = std::min<std::size_t>(x.pending.size() - x.pendingPos, size - got);
    if (n > 0) std::memcpy(buffer + got, x.pending.data() + x.pendingPos, n);
    x.pendingPos += n;
    got += static_cast<DWORD>(n);
    if (x.pendingPos == x.pending.size()) {
      x.pending.clear();
      x.pendingPos = 0;
    }
    if (got == size) return ERROR_SUCCESS;
    // What arrived before a failure is handed out first; the failure comes
    // with the next read.
    if (x.done) return got > 0 ? ERROR_SUCCESS : x.error;
    if (x.recvPaused) {
      x.recvPaused = false;
      curl_easy_pause(easy_.get(), CURLPAUSE_CONT);
      continue;
    }
    const Wait wait = Drive([&x] { return x.pending.size() > x.pendingPos; });
    if (wait == Wait::Ready || wait == Wait::Ended) continue;
    return ErrorOf(wait);
  }
}

void FtpConnection::CloseDownload(bool drain) {
  if (!added_ || xfer_.done) {
    Detach();
    return;
  }
  if (!drain) {
    Abort();
    return;
  }
  // Read the rest and drop it, so that the transfer ends as the server
  // meant and the control connection stays open; a long rest is cut.
  xfer_.sink = Sink::Discard;
  xfer_.pending.clear();
  xfer_.pendingPos = 0;
  if (xfer_.recvPaused) {
    xfer_.recvPaused = false;
    curl_easy_pause(easy_.get(), CURLPAUSE_CONT);
  }
  const Wait wait = Drive([this] { return xfer_.discarded > FtpLimits::kCloseDrainLimit; });
  if (wait != Wait::Ended) Abort();
}

DWORD FtpConnection::OpenUpload(const std::string& remote, bool ascii) {
  std::string path;
  if (!EncodeRemotePath(remote, path)) return ERROR_INVALID_PARAMETER;
  Prepare(path);
  curl_easy_setopt(easy_.get(), CURLOPT_UPLOAD, 1L);
  curl_easy_setopt(easy_.get(), CURLOPT_TRANSFERTEXT, ascii ? 1L : 0L);
  xfer_.source = Source::Caller;
  Start();
  // The first call for data means the server accepted the STOR and the data
  // connection is up.
  const Wait wait = Drive([this] { return xfer_.awaitingData; });
  if (wait == Wait::Ended && xfer_.error == ERROR_SUCCESS) return ERROR_INTERNET_CONNECTION_ABORTED;
  return ErrorOf(wait);
}

DWORD FtpConnection::Write(const char* data, DWORD size, DWORD& put) {
  Transfer& x = xfer_;
  put = 0;
  if (x.done) return x.error != ERROR_SUCCESS ? x.error : ERROR_INTERNET_CONNECTION_ABORTED;
  if (size == 0) return ERROR_SUCCESS;
  x.src = data;
  x.srcLen = size;
  x.srcPos = 0;
  x.awaitingData = false;
  if (x.sendPaused) {
    x.sendPaused = false;
    curl_easy_pause(easy_.get(), CURLPAUSE_CONT);
  }
  // Done when libcurl asks for more after taking the last byte: everything
  // has then been written to the data connection.
  const Wait wait = Drive([&x] { return x.srcPos == x.srcLen && x.awaitingData; });
  put = static_cast<DWORD>(x.srcPos);
  x.src = nullptr;
  x.srcLen = x.srcPos = 0;
  if (wait == Wait::Ready) return ERROR_SUCCESS;
  if (wait == Wait::Ended && x.error == ERROR_SUCCESS) return ERROR_INTERNET_CONNECTION_ABORTED;
  return ErrorOf(wait);
}

DWORD FtpConnection::FinishUpload() {
  Transfer& x = xfer_;
  if (!x.done) {
    x.endOfData = true;
    if (x.sendPaused) {
      x.sendPaused = false;
      curl_easy_pause(easy_.get(), CURLPAUSE_CONT);
    }
    // The server's reply after the data (226, or a refusal) ends the request.
    return RunToEnd();
  }
  return x.error;
}

}  // namespace wininet
