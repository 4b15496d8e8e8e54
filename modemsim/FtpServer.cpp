#include "FtpServer.h"

#include "FtpSession.h"

#include <QNetworkProxy>
#include <QTcpSocket>
#include <QTimer>

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
    FaultSet& faults = modem_.Faults();
    if (faults.refuseConnections != 0) {
      if (faults.refuseConnections > 0) --faults.refuseConnections;
      Refuse(socket, id, "421 Service not available, closing control connection.\r\n",
             "refused by fault refuse-connections");
      continue;
    }
    if (sessions_ >= kMaxSessions) {
      if (reservedTaken_) {
        Refuse(socket, id, "421 Too many connections; try again later.\r\n",
               "refused: " + std::to_string(sessions_) + " sessions open");
        continue;
      }
      reservedTaken_ = true;
      auto* session = new FtpSession(socket, id, modem_, log_, this, true);
      connect(session, &FtpSession::Ended, this, [this] { reservedTaken_ = false; });
      continue;
    }
    ++sessions_;
    auto* session = new FtpSession(socket, id, modem_, log_, this);
    connect(session, &FtpSession::Ended, this, [this] { --sessions_; });
  }
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
