#include "FtpServer.h"

#include "FtpSession.h"

#include <QNetworkProxy>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

namespace modemsim {

FtpServer::FtpServer(ModemState& modem, CommandLog& log, QObject* parent) : QObject(parent), modem_(modem), log_(log) {
  connect(&server_, &QTcpServer::newConnection, this, &FtpServer::OnNewConnection);
}

bool FtpServer::Listen(const QHostAddress& address, quint16 port, std::string* error) {
  server_.setProxy(QNetworkProxy::NoProxy);
  if (server_.listen(address, port)) return true;
  *error = server_.errorString().toStdString();
  return false;
}

void FtpServer::OnNewConnection() {
  while (QTcpSocket* socket = server_.nextPendingConnection()) {
    const int id = nextSession_++;
    // refuse-connections is the session's business: it acts at the login,
    // where the control user can be told apart.
    if (sessions_ >= kMaxSessions) {
      if (!KeepForControl(socket, id))
        Refuse(socket, id, "421 Too many connections; try again later.\r\n",
               "refused: " + std::to_string(sessions_) + " sessions open");
      continue;
    }
    ++sessions_;
    auto* session = new FtpSession(socket, id, modem_, log_, this);
    connect(session, &FtpSession::Ended, this, [this] { --sessions_; });
  }
}

bool FtpServer::KeepForControl(QTcpSocket* socket, int id) {
  std::erase_if(kept_, [](const QPointer<FtpSession>& s) { return s.isNull() || s->HasEnded(); });
  if (kept_.size() >= static_cast<std::size_t>(kKeptForControl)) {
    const auto waiting = std::find_if(kept_.begin(), kept_.end(),
                                      [](const QPointer<FtpSession>& s) { return s->AwaitingControlLogin(); });
    if (waiting == kept_.end()) return false;
    (*waiting)->TurnAway("a newer connection took the kept session");
    kept_.erase(waiting);
  }
  kept_.emplace_back(new FtpSession(socket, id, modem_, log_, this, true));
  return true;
}

void FtpServer::Refuse(QTcpSocket* socket, int id, const char* reply, const std::string& why) {
  log_.Write(id, why + " (from " + socket->peerAddress().toString().toStdString() + ":" +
                     std::to_string(socket->peerPort()) + ")");
  socket->setParent(this);
  connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
  QTimer::singleShot(kRefusalLingerMs, socket, [socket] { socket->abort(); });
  socket->write(reply);
  socket->disconnectFromHost();
}

}  // namespace modemsim
