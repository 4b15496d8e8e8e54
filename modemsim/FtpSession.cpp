#include "FtpSession.h"

#include "CommandParse.h"

#include <QDateTime>

#include <algorithm>
#include <cctype>

namespace modemsim {

namespace {

constexpr const char* kTooManySessions = "421 Too many connections; try again later.";

constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Commands answered before login.
bool AllowedBeforeLogin(const std::string& verb) {
  static const std::string_view kAllowed[] = {"USER", "PASS", "QUIT", "NOOP", "SYST", "FEAT", "OPTS", "HELP"};
  return std::find(std::begin(kAllowed), std::end(kAllowed), verb) != std::end(kAllowed);
}

QHostAddress Plain(const QHostAddress& a) {
  bool ok = false;
  const quint32 v4 = a.toIPv4Address(&ok);
  return ok ? QHostAddress(v4) : a;
}

std::string ListLine(const PseudoFile& f, qint64 size) {
  const QDateTime now = QDateTime::currentDateTimeUtc();
  char line[160];
  std::snprintf(line, sizeof line, "-%c%c-%c%c-%c%c-   1 modem    modem    %10lld %s %2d %02d:%02d %.*s\r\n",
                f.readable ? 'r' : '-', f.writable ? 'w' : '-', f.readable ? 'r' : '-', f.writable ? 'w' : '-',
                f.readable ? 'r' : '-', f.writable ? 'w' : '-', static_cast<long long>(size),
                kMonths[now.date().month() - 1], now.date().day(), now.time().hour(), now.time().minute(),
                static_cast<int>(f.name.size()), f.name.data());
  return line;
}

}  // namespace

FtpSession::FtpSession(QTcpSocket* control, int id, ModemState& modem, CommandLog& log, QObject* parent,
                       bool reservedForControl)
    : QObject(parent), control_(control), id_(id), modem_(modem), log_(log), reserved_(reservedForControl) {
  control_->setParent(this);
  control_->setReadBufferSize(kControlReadBufferSize);
  // Replies are short and each one is awaited by the client: without this,
  // Nagle's algorithm and the client's delayed acknowledgement hold many of
  // them back by 40 ms.
  control_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
  data_ = new DataChannel(Plain(control_->localAddress()), Plain(control_->peerAddress()), this);

  connect(control_, &QTcpSocket::readyRead, this, &FtpSession::ProcessInput);
  connect(control_, &QTcpSocket::bytesWritten, this, &FtpSession::OnBytesWritten);
  connect(control_, &QTcpSocket::disconnected, this, &FtpSession::OnControlDisconnected);
  connect(data_, &DataChannel::Opened, this, &FtpSession::OnDataOpened);
  connect(data_, &DataChannel::Failed, this, &FtpSession::OnDataFailed);
  connect(data_, &DataChannel::DataReceived, this, &FtpSession::OnDataReceived);
  connect(data_, &DataChannel::Finished, this, &FtpSession::OnDataFinished);

  idleTimer_.setSingleShot(true);
  idleTimer_.setInterval(kIdleTimeoutMs);
  connect(&idleTimer_, &QTimer::timeout, this, [this] {
    busy_ = true;
    Reply("421 Idle timeout; closing control connection.", [this] { EndSession("idle timeout", true); });
  });
  writeStallTimer_.setSingleShot(true);
  writeStallTimer_.setInterval(kControlWriteStallMs);
  connect(&writeStallTimer_, &QTimer::timeout, this, [this] {
    if (!ended_) log_.Write(id_, "close (client does not read replies)");
    ended_ = true;
    if (control_) control_->abort();
    Finalize();
  });

  log_.Write(id_, "open " + control_->peerAddress().toString().toStdString() + ":" +
                      std::to_string(control_->peerPort()) + (reserved_ ? " (kept for the control user)" : ""));
  if (reserved_) {
    reservedLoginTimer_.setSingleShot(true);
    reservedLoginTimer_.setInterval(kReservedLoginMs);
    connect(&reservedLoginTimer_, &QTimer::timeout, this, [this] {
      busy_ = true;
      Send(kTooManySessions, [this] { EndSession("no control login in a kept session", true); });
    });
    reservedLoginTimer_.start();
  }
  // Never slowed: a control client must get in to switch the slowness off.
  Send("220 Halden modem simulator ready.", {});
}

void FtpSession::TurnAway(const std::string& reason) {
  if (ended_) return;
  busy_ = true;
  Send(kTooManySessions, [this, reason] { EndSession(reason, true); });
}

void FtpSession::ProcessInput() {
  if (ended_ || busy_ || !control_) return;
  // A client that does not read its replies gets no more until it does.
  if (control_->bytesToWrite() > kMaxPendingReplyBytes) return;
  for (;;) {
    const qsizetype nl = input_.indexOf('\n');
    if (nl >= 0) {
      QByteArray line = input_.left(nl);
      input_.remove(0, nl + 1);
      HandleLine(std::move(line));
      return;
    }
    if (input_.size() > kMaxCommandLine) {
      busy_ = true;
      input_.clear();
      log_.Write(id_, "command line longer than " + std::to_string(kMaxCommandLine) + " bytes");
      Reply("500 Command line too long.", [this] { EndSession("command line too long", true); });
      return;
    }
    const QByteArray more = control_->read(kMaxCommandLine + 1 - input_.size());
    if (more.isEmpty()) return;
    input_ += more;
  }
}

void FtpSession::HandleLine(QByteArray received) {
  busy_ = true;
  idleTimer_.stop();
  const std::string_view line =
      CleanCommandLine(std::string_view(received.constData(), static_cast<std::size_t>(received.size())));
  log_.Command(id_, line);
  const ParsedCommand command = ParseCommand(line);

  FaultSet& faults = modem_.Faults();
  const bool controlLogin = command.verb == "USER" && command.arg == kControlUser;
  // Until a session has logged in, only the control user's name gets past
  // a kept session's limit and the refuse-connections fault; to any other
  // client the session is a connection refused.
  if (reserved_ && !exempt_ && !controlLogin)
    return Send(kTooManySessions, [this] { EndSession("not the control user in a kept session", true); });
  if (!loggedIn_ && !exempt_ && !controlLogin && faults.refuseConnections != 0) {
    if (faults.refuseConnections > 0) --faults.refuseConnections;
    return Send("421 Service not available, closing control connection.",
                [this] { EndSession("refused by fault refuse-connections", true); });
  }
  if (FaultsApply() && !controlLogin && faults.dropConnections != 0) {
    if (faults.dropConnections > 0) --faults.dropConnections;
    EndSession("dropped by fault drop-connections", false);
    return;
  }
  if (line.empty()) return Reply("500 Empty command.");
  if (command.hasControlBytes) return Reply("500 Syntax error: control characters in command.");
  if (!loggedIn_ && !AllowedBeforeLogin(command.verb)) return Reply("530 Please login with USER and PASS.");
  Dispatch(command.verb, command.arg);
}

void FtpSession::Dispatch(const std::string& verb, const std::string& arg) {
  if (verb == "USER") {
    reservedLoginTimer_.stop();
    user_ = arg;
    haveUser_ = true;
    loggedIn_ = false;
    exempt_ = arg == kControlUser;
    return Reply("331 Please specify the password.");
  }
  if (verb == "PASS") {
    if (!haveUser_) return Reply("503 Login with USER first.");
    loggedIn_ = true;
    return Reply("230 Login successful.");
  }
  if (verb == "QUIT") return Reply("221 Goodbye.", [this] { EndSession("quit", true); });
  if (verb == "NOOP") return Reply("200 NOOP ok.");
  if (verb == "SYST") return Reply("215 UNIX Type: L8");
  if (verb == "FEAT") {
    std::string text = "211-Features:\r\n EPRT\r\n EPSV\r\n PASV\r\n REST STREAM\r\n";
    if (!(FaultsApply() && modem_.Faults().noSize)) text += " SIZE\r\n";
    return Reply(text + " UTF8\r\n211 End");
  }
  if (verb == "OPTS") {
    std::string upper = arg;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return Reply(upper == "UTF8 ON" ? "200 Always in UTF8 mode." : "501 Option not understood.");
  }
  if (verb == "HELP") {
    return Reply(
        "214-The following commands are recognized:\r\n"
        " USER PASS QUIT NOOP SYST FEAT OPTS HELP PWD CWD CDUP TYPE MODE STRU\r\n"
        " PORT EPRT PASV EPSV REST SIZE RETR STOR LIST NLST ABOR\r\n"
        "214 Help OK.");
  }
  if (verb == "PWD" || verb == "XPWD") return Reply("257 \"/\" is the current directory.");
  if (verb == "CWD" || verb == "XCWD") {
    if (arg == "/" || arg == "." || arg == "/.") return Reply("250 Directory successfully changed.");
    return Reply("550 " + arg + ": no such directory.");
  }
  if (verb == "CDUP" || verb == "XCUP") return Reply("550 Already at the top directory.");
  if (verb == "TYPE") {
    const std::string type = QByteArray::fromStdString(arg).toUpper().toStdString();
    if (type == "I" || type == "L 8") return Reply("200 Switching to Binary mode.");
    if (type == "A" || type == "A N") return Reply("200 Switching to ASCII mode.");
    return Reply(arg.empty() ? "501 TYPE needs an argument." : "504 Type not supported.");
  }
  if (verb == "MODE") return Reply(arg == "S" || arg == "s" ? "200 Mode set to S." : "504 Only stream mode.");
  if (verb == "STRU") return Reply(arg == "F" || arg == "f" ? "200 Structure set to F." : "504 Only file structure.");
  if (verb == "PORT") return CmdPort(arg, false);
  if (verb == "EPRT") return CmdPort(arg, true);
  if (verb == "PASV") return CmdPassive(false, arg);
  if (verb == "EPSV") return CmdPassive(true, arg);
  if (verb == "REST") {
    const std::optional<std::int64_t> offset = ParseRestOffset(arg);
    if (!offset) return Reply("501 REST needs a byte offset.");
    restOffset_ = *offset;
    return Reply("350 Restart position accepted (" + std::to_string(*offset) + ").");
  }
  if (verb == "SIZE") return CmdSize(arg);
  if (verb == "RETR") return CmdRetr(arg);
  if (verb == "STOR") return CmdStor(arg);
  if (verb == "LIST") return CmdList(arg, false);
  if (verb == "NLST") return CmdList(arg, true);
  if (verb == "ABOR") {
    data_->Reset();
    return Reply("225 No transfer to abort.");
  }
  if (verb == "ALLO") return Reply("202 ALLO not needed.");
  Reply("502 Command not implemented.");
}

void FtpSession::Reply(const std::string& text, Next next) {
  const int delay = FaultsApply() ? modem_.Faults().slowMs : 0;
  if (delay > 0)
    QTimer::singleShot(delay, this, [this, text, next = std::move(next)] { Send(text, next); });
  else
    Send(text, next);
}

void FtpSession::Send(const std::string& text, const Next& next) {
  if (ended_ || !control_) return;
  control_->write(text.data(), static_cast<qint64>(text.size()));
  control_->write("\r\n", 2);
  if (!writeStallTimer_.isActive() && control_->bytesToWrite() > 0) writeStallTimer_.start();
  if (next)
    next();
  else
    CommandDone();
}

void FtpSession::CommandDone() {
  busy_ = false;
  transfer_ = Transfer::None;
  idleTimer_.start();
  QMetaObject::invokeMethod(this, &FtpSession::ProcessInput, Qt::QueuedConnection);
}

void FtpSession::OnBytesWritten() {
  if (!control_) return;
  if (control_->bytesToWrite() == 0)
    writeStallTimer_.stop();
  else
    writeStallTimer_.start();
  if (!busy_ && control_->bytesToWrite() <= kMaxPendingReplyBytes) ProcessInput();
}

void FtpSession::EndSession(const std::string& reason, bool graceful) {
  if (ended_) return;
  ended_ = true;
  log_.Write(id_, "close (" + reason + ")");
  idleTimer_.stop();
  reservedLoginTimer_.stop();
  data_->Reset();
  if (!control_) return Finalize();
  if (graceful) {
    // disconnected() follows once what was written has gone out; the write
    // stall limit covers a client that never takes it.
    control_->disconnectFromHost();
    if (control_ && control_->state() == QAbstractSocket::UnconnectedState) Finalize();
    return;
  }
  control_->abort();
  Finalize();
}

void FtpSession::OnControlDisconnected() {
  if (!ended_) {
    ended_ = true;
    log_.Write(id_, "close (client left)");
    data_->Reset();
  }
  Finalize();
}

void FtpSession::Finalize() {
  if (finalized_) return;
  finalized_ = true;
  idleTimer_.stop();
  reservedLoginTimer_.stop();
  writeStallTimer_.stop();
  emit Ended();
  deleteLater();
}

void FtpSession::CmdPort(const std::string& arg, bool extended) {
  QHostAddress address;
  int port = -1;
  if (!extended) {
    const std::optional<PortTarget> target = ParsePortArgument(arg);
    if (!target) return Reply("501 Syntax error in PORT arguments.");
    address = QHostAddress(target->ipv4);
    port = target->port;
  } else {
    const std::optional<EprtTarget> target = ParseEprtArgument(arg);
    if (!target || !address.setAddress(QString::fromStdString(target->address)))
      return Reply("501 Syntax error in EPRT arguments.");
    port = target->port;
  }
  // No third-party targets (the old bounce attack) and no privileged ports.
  if (!SameHost(address, control_->peerAddress()) || port < 1024)
    return Reply("500 Illegal " + std::string(extended ? "EPRT" : "PORT") +
                 " command: the address must be the client's own, port 1024 or above.");
  data_->SetActive(static_cast<quint16>(port));
  Reply(extended ? "200 EPRT command successful." : "200 PORT command successful.");
}

void FtpSession::CmdPassive(bool extended, const std::string& arg) {
  if (extended) {
    if (arg == "ALL" || arg == "all") return Reply("200 EPSV ALL ok.");
    if (!arg.empty() && arg != "1" && arg != "2") return Reply("522 Network protocol not supported, use (1,2).");
  }
  bool isV4 = false;
  const quint32 local = control_->localAddress().toIPv4Address(&isV4);
  if (!extended && !isV4) return Reply("425 PASV needs IPv4; use EPSV.");
  const quint16 port = data_->ListenPassive();
  if (port == 0) return Reply("425 Cannot open a passive data port.");
  if (extended) return Reply("229 Entering Extended Passive Mode (|||" + std::to_string(port) + "|).");
  char text[96];
  std::snprintf(text, sizeof text, "227 Entering Passive Mode (%u,%u,%u,%u,%u,%u).", (local >> 24) & 0xFF,
                (local >> 16) & 0xFF, (local >> 8) & 0xFF, local & 0xFF, port >> 8, port & 0xFF);
  Reply(text);
}

const PseudoFile* FtpSession::ResolveFile(const std::string& arg, bool forWrite) {
  const PseudoFile* f = FindPseudoFile(arg);
  if (f == nullptr) {
    Reply("550 " + (arg.empty() ? std::string("(no name)") : arg) + ": no such file.");
    return nullptr;
  }
  const std::string name(f->name);
  if (FaultsApply() && modem_.IsDenied(*f)) {
    Reply("550 " + name + ": access denied.");
    return nullptr;
  }
  if (forWrite ? !f->writable : !f->readable) {
    Reply("550 " + name + (forWrite ? ": read-only pseudo-file." : ": write-only pseudo-file."));
    return nullptr;
  }
  return f;
}

void FtpSession::CmdSize(const std::string& arg) {
  if (FaultsApply() && modem_.Faults().noSize) return Reply("502 SIZE not implemented.");
  // Every pseudo-file has a size, as in the listing: write-only ones 0.
  const PseudoFile* f = FindPseudoFile(arg);
  if (f == nullptr) return Reply("550 " + (arg.empty() ? std::string("(no name)") : arg) + ": no such file.");
  if (FaultsApply() && modem_.IsDenied(*f)) return Reply("550 " + std::string(f->name) + ": access denied.");
  Reply("213 " + std::to_string(f->readable ? modem_.Size(*f, FaultsApply()) : 0));
}

// Pseudo-files go out as they are in both TYPE A and TYPE I: they are binary
// data (or plain text without line ends), and conversion would corrupt them.
void FtpSession::CmdRetr(const std::string& arg) {
  const PseudoFile* f = ResolveFile(arg, false);
  if (f == nullptr) return;
  if (!data_->IsConfigured()) return Reply("425 Use PORT, EPRT, PASV or EPSV first.");
  QByteArray payload = modem_.Read(*f, id_, FaultsApply());
  const qint64 offset = std::exchange(restOffset_, 0);
  payload = payload.mid(std::min<qint64>(offset, payload.size()));
  StartSend(std::string(f->name),
            "150 Opening BINARY mode data connection for " + std::string(f->name) + " (" +
                std::to_string(payload.size()) + " bytes).",
            payload, "226 Transfer complete.");
}

void FtpSession::CmdStor(const std::string& arg) {
  const PseudoFile* f = ResolveFile(arg, true);
  if (f == nullptr) return;
  if (std::exchange(restOffset_, 0) != 0) return Reply("554 Uploads cannot be restarted.");
  if (!data_->IsConfigured()) return Reply("425 Use PORT, EPRT, PASV or EPSV first.");
  uploadFile_ = f;
  uploadKept_.clear();
  uploadTotal_ = 0;
  transfer_ = Transfer::Receiving;
  Reply("150 Ok to send data.", [this] { data_->Open(); });
}

void FtpSession::CmdList(const std::string& arg, bool namesOnly) {
  // Options such as "-a" or "-l" are accepted and ignored.
  const std::string path = ListPath(arg);
  std::string text;
  auto add = [&](const PseudoFile& f) {
    text += namesOnly ? std::string(f.name) + "\r\n" : ListLine(f, f.readable ? modem_.Size(f, FaultsApply()) : 0);
  };
  if (path.empty() || path == "/" || path == "." || path == "/.") {
    for (const PseudoFile& f : PseudoFiles()) add(f);
  } else if (const PseudoFile* f = FindPseudoFile(path)) {
    add(*f);
  } else {
    return Reply("550 " + path + ": no such file or directory.");
  }
  if (!data_->IsConfigured()) return Reply("425 Use PORT, EPRT, PASV or EPSV first.");
  StartSend("listing", "150 Here comes the directory listing.", QByteArray::fromStdString(text),
            "226 Directory send OK.");
}

void FtpSession::StartSend(const std::string& what, const std::string& opening, const QByteArray& payload,
                           const std::string& done) {
  // Logged when it has gone out whole, so that the log tells which
  // downloads a client received.
  sentNote_ = "sent " + what + " " + std::to_string(payload.size()) + " bytes";
  payload_ = payload;
  doneReply_ = done;
  transfer_ = Transfer::Sending;
  Reply(opening, [this] { data_->Open(); });
}

void FtpSession::OnDataOpened() {
  if (transfer_ == Transfer::Sending)
    data_->Send(std::exchange(payload_, {}));
  else if (transfer_ == Transfer::Receiving)
    data_->Receive();
}

void FtpSession::OnDataFailed(const QString& reason) {
  if (transfer_ == Transfer::None) return;
  log_.Write(id_, "data connection failed: " + reason.toStdString());
  payload_.clear();
  uploadFile_ = nullptr;
  Reply("425 Cannot open data connection: " + reason.toStdString() + ".");
}

void FtpSession::OnDataReceived(const QByteArray& chunk) {
  if (transfer_ != Transfer::Receiving || uploadFile_ == nullptr) return;
  uploadTotal_ += chunk.size();
  const qsizetype room = ModemState::KeptBytes(*uploadFile_) - uploadKept_.size();
  if (room > 0) uploadKept_.append(chunk.left(room));
}

void FtpSession::OnDataFinished(bool ok, const QString& reason) {
  if (transfer_ == Transfer::Receiving) return FinishUpload(ok, reason);
  if (transfer_ != Transfer::Sending) return;
  if (ok) {
    log_.Write(id_, sentNote_);
    return Reply(doneReply_);
  }
  log_.Write(id_, "transfer aborted: " + reason.toStdString());
  Reply("426 Connection closed; transfer aborted (" + reason.toStdString() + ").");
}

void FtpSession::FinishUpload(bool ok, const QString& reason) {
  const PseudoFile* file = std::exchange(uploadFile_, nullptr);
  const QByteArray kept = std::exchange(uploadKept_, {});
  if (!ok || file == nullptr) {
    log_.Write(id_, "upload aborted: " + reason.toStdString());
    return Reply("426 Connection closed; transfer aborted (" + reason.toStdString() + ").");
  }
  Reply(modem_.Store(*file, kept, uploadTotal_, id_).reply);
}

}  // namespace modemsim
