#include "link/ModemSession.h"

#include <QMetaObject>
#include <QThread>

#include <algorithm>
#include <utility>

namespace specterm {

ModemSession::ModemSession(QObject* context, FtpMessageHandler report)
    : context_(context), report_(std::move(report)) {}

ModemSession::~ModemSession() = default;

void ModemSession::Create() {
  if (exists_) return;
  // Notices raised on the link thread are handed to the GUI thread without
  // waiting for them to be read.
  auto session = std::make_unique<FTP_Server>([context = context_, report = report_](const FtpMessage& message) {
    if (!report) return;
    if (QThread::currentThread() == context->thread()) {
      report(message);
      return;
    }
    QMetaObject::invokeMethod(
        context, [report, message] { report(message); }, Qt::QueuedConnection);
  });
  internet_ = session->ConnectedToInternet();
  connected_ = false;
  exists_ = true;
  link_.Adopt(std::move(session));
}

void ModemSession::Release() {
  exists_ = false;
  internet_ = false;
  connected_ = false;
  link_.Release();
}

void ModemSession::Abandon() {
  link_.Abandon();
  // The object may have been closed under a call in flight.
  connected_ = false;
}

template <class Result>
void ModemSession::Call(std::function<Result(FTP_Server&)> work, Result failed, std::function<void(Result)> done) {
  const std::uint64_t generation = link_.Generation();
  link_.Post([this, generation, work = std::move(work), failed = std::move(failed),
              done = std::move(done)](FTP_Server* session) mutable {
    Result result = session != nullptr ? work(*session) : std::move(failed);
    if (link_.Abandoned()) return;
    // Delivered through the event loop; dropped there when an Abandon came
    // first.
    QMetaObject::invokeMethod(
        context_,
        [this, generation, result = std::move(result), done = std::move(done)]() mutable {
          if (generation == link_.Generation()) done(std::move(result));
        },
        Qt::QueuedConnection);
  });
}

void ModemSession::ConnectToServer(const std::string& server, const std::string& user, const std::string& password,
                                   std::function<void()> done) {
  Call<bool>(
      [server, user, password](FTP_Server& ftp) {
        ftp.SetServerName(server);
        ftp.SetUserName(user);
        ftp.SetPassWord(password);
        ftp.ConnectToServer();
        return ftp.IsConnected();
      },
      false,
      [this, done = std::move(done)](bool connected) {
        connected_ = connected;
        done();
      });
}

void ModemSession::WriteFile(const std::string& fileName, const std::string& bytes, std::function<void(bool)> done) {
  Call<bool>(
      [fileName, bytes](FTP_Server& ftp) {
        ftp.SetWriteFileName(fileName);
        if (!ftp.OpenForWrite()) return false;
        ftp.SetWriteBuffer(bytes);
        ftp.WriteToFile();
        return true;
      },
      false, std::move(done));
}

void ModemSession::ReadFile(const std::string& fileName, std::int32_t sizeWhenUnknown,
                            std::function<void(ReadResult)> done) {
  Call<ReadResult>(
      [fileName, sizeWhenUnknown](FTP_Server& ftp) {
        ReadResult result;
        ftp.SetReadFileName(fileName);
        result.Opened = ftp.OpenForRead();
        if (!result.Opened) return result;
        result.Size = ftp.GetFileSize();
        if (result.Size == -1) result.Size = sizeWhenUnknown;
        const std::int64_t limit = std::int64_t{kReadLimitFactor} * std::max(sizeWhenUnknown, 0);
        ftp.SetReadLimit(static_cast<std::int32_t>(std::min<std::int64_t>(limit, FTP_Server::kDefaultReadLimit)));
        result.Total = ftp.ReadFromFile(result.Size);
        result.LimitReached = ftp.ReadLimitReached();
        result.Buffer = ftp.ReadBuffer();
        return result;
      },
      ReadResult{}, std::move(done));
}

void ModemSession::Pause(std::chrono::milliseconds pause, std::function<void()> done) {
  const std::uint64_t generation = link_.Generation();
  link_.Post([this, pause, generation, done = std::move(done)](FTP_Server*) mutable {
    if (!link_.PauseFor(pause)) return;
    QMetaObject::invokeMethod(
        context_,
        [this, generation, done = std::move(done)] {
          if (generation == link_.Generation()) done();
        },
        Qt::QueuedConnection);
  });
}

void ModemSession::RunOnLinkThread(std::function<void()> work) {
  link_.Post([work = std::move(work)](FTP_Server*) { work(); });
}

}  // namespace specterm
