#pragma once

// The data connection of one FTP session: set up passively (we listen, the
// client connects) or actively (we connect to the address PORT/EPRT gave),
// then used for one transfer in either direction. Every wait has a time
// limit, so a client that never connects, never reads or stops sending
// costs a bounded time and nothing else.

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <memory>

namespace modemsim {

inline constexpr int kDataConnectTimeoutMs = 30000;
inline constexpr int kTransferStallTimeoutMs = 30000;
inline constexpr qint64 kDataReadBufferSize = 64 * 1024;

// Whether two addresses name the same host, an IPv4 address mapped into IPv6
// counting as the IPv4 one (a dual-stack listener reports peers that way).
inline bool SameHost(const QHostAddress& a, const QHostAddress& b) {
  return a.isEqual(b, QHostAddress::ConvertV4MappedToIPv4);
}

class DataChannel : public QObject {
  Q_OBJECT

 public:
  // peer: the client's control address; only it may connect passively and
  // only it is connected to actively.
  DataChannel(const QHostAddress& local, const QHostAddress& peer, QObject* parent);
  ~DataChannel() override;

  // Opens a passive listener on the local address; the port, or 0.
  quint16 ListenPassive();
  void SetActive(quint16 port);
  bool IsConfigured() const { return mode_ != Mode::None; }
  // Ends any transfer and forgets the mode; a new PORT/PASV is needed.
  void Reset();

  // Establishes the connection: Opened() or Failed().
  void Open();
  // Sends the payload and closes: Finished(true) when the client had it all.
  void Send(const QByteArray& payload);
  // Receives until the client closes: DataReceived() per chunk, then
  // Finished(true); Finished(false) on a stall or a broken connection.
  void Receive();

 signals:
  void Opened();
  void Failed(const QString& reason);
  void DataReceived(const QByteArray& chunk);
  void Finished(bool ok, const QString& reason);

 private:
  enum class Mode { None, Passive, Active };
  enum class Phase { Idle, Opening, Sending, Receiving, Done };

  void OnPassiveConnection();
  void Adopt(QTcpSocket* socket);
  void OnConnected();
  void OnReadyRead();
  void OnBytesWritten();
  void OnDisconnected();
  void OnError(QAbstractSocket::SocketError error);
  void OnTimeout();
  void Complete(bool ok, const QString& reason);
  void Drop();

  QHostAddress local_;
  QHostAddress peer_;
  Mode mode_ = Mode::None;
  Phase phase_ = Phase::Idle;
  quint16 activePort_ = 0;
  std::unique_ptr<QTcpServer> listener_;
  QPointer<QTcpSocket> socket_;  // parented to this; deleted with deleteLater
  bool socketConnected_ = false;
  bool peerClosed_ = false;  // the client closed; buffered data stays readable
  QTimer timer_;             // connect wait, then transfer stall
};

}  // namespace modemsim
