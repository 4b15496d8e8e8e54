#pragma once

// The listening side: accepts control connections, applies the session
// limit, and hands each accepted connection to its own FtpSession.

#include "CommandLog.h"
#include "ModemState.h"

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QTcpServer>

#include <string>
#include <vector>

namespace modemsim {

// Beyond this many sessions new connections are answered 421 and closed;
// each session holds at most three descriptors. Beyond the limit further
// sessions are kept for the control user, so that faults can always be
// lifted: a kept session must log in as that user (any other first command
// closes it), and when all are taken the oldest one still waiting for that
// login gives way to the new connection, so clients that connect and say
// nothing cannot keep the control user out. Kept sessions hold one
// descriptor until they have logged in.
inline constexpr int kMaxSessions = 200;
inline constexpr int kKeptForControl = 50;
// A refused connection that does not take its 421 is cut after this.
inline constexpr int kRefusalLingerMs = 5000;

class FtpSession;

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
  // Takes a connection beyond the session limit into a kept session; false
  // when every kept session is the control user's.
  bool KeepForControl(QTcpSocket* socket, int id);

  ModemState& modem_;
  CommandLog& log_;
  QTcpServer server_;
  int nextSession_ = 1;
  int sessions_ = 0;
  std::vector<QPointer<FtpSession>> kept_;  // oldest first
};

}  // namespace modemsim
