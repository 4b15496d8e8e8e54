#pragma once

// The window's handle on its modem session: the FTP_Server object that the
// capture cycle creates, uses and releases, living on the link thread.
//
// Used from the GUI thread only. Each operation runs on the link thread and
// its result comes back on the GUI thread, through the event loop, to the
// callback given; nothing here waits on the link. After Abandon, results of
// operations begun before it are dropped (their callbacks never run).
//
// The object is created here, on the GUI thread; creating it does no network
// I/O. Its notices ("Could not open Internet Connection" and the others) go
// to the report handler on the GUI thread: at once when they arise there,
// through the event loop when they arise on the link thread, which never
// waits for the user.

#include "link/LinkThread.h"

#include <QObject>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace specterm {

class ModemSession {
 public:
  // What a read of one pseudo-file brought.
  struct ReadResult {
    bool Opened = false;     // the file was opened for reading
    std::int32_t Size = 0;   // the size asked for
    std::int32_t Total = 0;  // bytes received
    std::string Buffer;      // ReadBuffer
    // The transfer went on past the read limit and was cut there; Buffer
    // holds what came up to it.
    bool LimitReached = false;
  };

  // A read takes in at most this many times the size the caller expects:
  // a modem's pseudo-file does not grow, and a transfer that never ends
  // must not fill the memory.
  static constexpr std::int32_t kReadLimitFactor = 4;

  // Results are delivered through context's event loop. The context must
  // outlive this object (its owner, typically): the link thread is joined
  // here, so no result is posted to a destroyed context.
  ModemSession(QObject* context, FtpMessageHandler report);
  ~ModemSession();
  ModemSession(const ModemSession&) = delete;
  ModemSession& operator=(const ModemSession&) = delete;

  // Whether there is an object ("Ftp is not nothing").
  bool Exists() const { return exists_; }
  // Creates the object when there is none.
  void Create();
  // ConnectedToInternet and IsConnected of the current object, as its
  // operations so far have left it (false when there is none).
  bool ConnectedToInternet() const { return exists_ && internet_; }
  bool IsConnected() const { return exists_ && connected_; }

  // ServerName, UserName, PassWord, then ConnectToServer.
  void ConnectToServer(const std::string& server, const std::string& user, const std::string& password,
                       std::function<void()> done);
  // WriteFileName, OpenForWrite and, when that succeeded, WriteBuffer and
  // WriteToFile; done(true) when the file was opened.
  void WriteFile(const std::string& fileName, const std::string& bytes, std::function<void(bool)> done);
  // ReadFileName, OpenForRead and, when that succeeded, GetFileSize (a size
  // the server does not report is taken as sizeWhenUnknown) and
  // ReadFromFile with that size, up to kReadLimitFactor times
  // sizeWhenUnknown, the size expected.
  void ReadFile(const std::string& fileName, std::int32_t sizeWhenUnknown, std::function<void(ReadResult)> done);
  // A pause on the link thread, in turn with the FTP calls.
  void Pause(std::chrono::milliseconds pause, std::function<void()> done);
  // Runs work on the link thread, in turn; skipped when abandoned first.
  void RunOnLinkThread(std::function<void()> work);

  // Sets the object to nothing: it is destroyed on the link thread, closing
  // its connection, after whatever was posted before.
  void Release();
  // Drops the results of everything begun so far and cuts short a call in
  // flight. Release the object afterwards.
  void Abandon();
  // Goes up by one with each Abandon: a caller that saw it change while it
  // waited knows its flow was abandoned.
  std::uint64_t Generation() const { return link_.Generation(); }

 private:
  template <class Result>
  void Call(std::function<Result(FTP_Server&)> work, Result failed, std::function<void(Result)> done);

  QObject* context_;
  FtpMessageHandler report_;  // runs on the GUI thread
  bool exists_ = false;
  bool internet_ = false;
  bool connected_ = false;
  LinkThread link_;
};

}  // namespace specterm
