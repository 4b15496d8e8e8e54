#pragma once

// One client's FTP control connection. Commands are read one line at a
// time from a bounded buffer and handled one after another: the next line
// is read only when the previous command has been answered, so a client
// that floods commands or never reads replies is held back by TCP instead
// of growing our buffers.

#include "CommandLog.h"
#include "DataChannel.h"
#include "ModemState.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

#include <functional>
#include <string>

namespace modemsim {

inline constexpr qsizetype kMaxCommandLine = 2048;
inline constexpr qint64 kControlReadBufferSize = 16 * 1024;
inline constexpr qint64 kMaxPendingReplyBytes = 64 * 1024;
inline constexpr int kControlWriteStallMs = 30000;
inline constexpr int kIdleTimeoutMs = 300000;
// The user name that makes a session exempt from faults.
inline constexpr const char* kControlUser = "control";
// A session kept for the control user beyond the session limit must log
// in as that user within this time.
inline constexpr int kReservedLoginMs = 10000;

class FtpSession : public QObject {
  Q_OBJECT

 public:
  // reservedForControl: the session is one of those kept beyond the
  // session limit for the control user, and ends at any other command
  // before that user's login.
  FtpSession(QTcpSocket* control, int id, ModemState& modem, CommandLog& log, QObject* parent,
             bool reservedForControl = false);

  bool HasEnded() const { return ended_; }
  // A kept session whose client has not named the control user yet.
  bool AwaitingControlLogin() const { return reserved_ && !exempt_ && !ended_; }
  // Answers 421 at once and closes the session.
  void TurnAway(const std::string& reason);

 signals:
  void Ended();

 private:
  using Next = std::function<void()>;

  void ProcessInput();
  void HandleLine(QByteArray line);
  void Dispatch(const std::string& verb, const std::string& arg);
  // Sends one reply (after the slow fault's delay) and then runs next;
  // by default that ends the command.
  void Reply(const std::string& text, Next next = {});
  // The same at once, whatever the faults.
  void Send(const std::string& text, const Next& next);
  void CommandDone();
  // Logs the close and closes the control connection: gracefully (what
  // was written still goes out, within the write-stall limit) or at once.
  void EndSession(const std::string& reason, bool graceful);
  void OnBytesWritten();

  bool FaultsApply() const { return !exempt_; }
  const PseudoFile* ResolveFile(const std::string& arg, bool forWrite);

  // Commands with more than one step.
  void CmdPort(const std::string& arg, bool extended);
  void CmdPassive(bool extended, const std::string& arg);
  void CmdSize(const std::string& arg);
  void CmdRetr(const std::string& arg);
  void CmdStor(const std::string& arg);
  void CmdList(const std::string& arg, bool namesOnly);
  // what names the download in the log ("spectrum:", "listing").
  void StartSend(const std::string& what, const std::string& opening, const QByteArray& payload,
                 const std::string& done);
  void FinishUpload(bool ok, const QString& reason);
  void OnDataOpened();
  void OnDataFailed(const QString& reason);
  void OnDataReceived(const QByteArray& chunk);
  void OnDataFinished(bool ok, const QString& reason);
  void OnControlDisconnected();
  void Finalize();

  QPointer<QTcpSocket> control_;
  int id_;
  ModemState& modem_;
  CommandLog& log_;
  DataChannel* data_;  // child of this

  QByteArray input_;
  bool busy_ = true;  // until the greeting is out
  bool ended_ = false;
  bool finalized_ = false;
  bool loggedIn_ = false;
  bool exempt_ = false;
  bool reserved_ = false;
  std::string user_;
  bool haveUser_ = false;

  // The transfer in progress.
  enum class Transfer { None, Sending, Receiving };
  Transfer transfer_ = Transfer::None;
  QByteArray payload_;
  std::string doneReply_;
  std::string sentNote_;
  qint64 restOffset_ = 0;
  const PseudoFile* uploadFile_ = nullptr;
  QByteArray uploadKept_;
  qint64 uploadTotal_ = 0;

  QTimer idleTimer_;
  QTimer reservedLoginTimer_;
  QTimer writeStallTimer_;
};

}  // namespace modemsim
