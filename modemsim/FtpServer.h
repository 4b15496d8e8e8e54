#pragma once

// The listening side: accepts control connections, applies the
// refuse-connections fault and the session limit, and hands each accepted
// connection to its own FtpSession.

#include "CommandLog.h"
#include "ModemState.h"

#include <QHostAddress>
#include <QObject>
#include <QTcpServer>

#include <string>

namespace modemsim {

// Beyond this many sessions new connections are answered 421 and closed;
// each session holds at most three descriptors. One more session is kept
// for the control user, so that faults can always be lifted.
inline constexpr int kMaxSessions = 200;
// A refused connection that does not take its 421 is cut after this.
inline constexpr int kRefusalLingerMs = 5000;

class FtpServer : public QObject {
 public:
  FtpServer(ModemState& modem, CommandLog& log, QObject* parent = nullptr);

  // False with an error text when the address cannot be bound.
  bool Listen(const QHostAddress& address, quint16 port, std::string* error);
  QHostAddress Address() const { return server_.serverAddress(); }
  quint16 Port() const { return server_.serverPort(); }

 private:
  void OnNewConnection();
  void Refuse(QTcpSocket* socket, int id, const char* reply, const std::string& why);

  ModemState& modem_;
  CommandLog& log_;
  QTcpServer server_;
  int nextSession_ = 1;
  int sessions_ = 0;
  bool reservedTaken_ = false;
};

}  // namespace modemsim
