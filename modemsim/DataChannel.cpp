#include "DataChannel.h"

#include <QNetworkProxy>

namespace modemsim {

DataChannel::DataChannel(const QHostAddress& local, const QHostAddress& peer, QObject* parent)
    : QObject(parent), local_(local), peer_(peer) {
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &DataChannel::OnTimeout);
}

DataChannel::~DataChannel() { Drop(); }

quint16 DataChannel::ListenPassive() {
  Reset();
  listener_ = std::make_unique<QTcpServer>();
  listener_->setProxy(QNetworkProxy::NoProxy);
  listener_->setMaxPendingConnections(1);
  if (!listener_->listen(local_, 0)) {
    listener_.reset();
    return 0;
  }
  connect(listener_.get(), &QTcpServer::newConnection, this, &DataChannel::OnPassiveConnection);
  mode_ = Mode::Passive;
  return listener_->serverPort();
}

void DataChannel::SetActive(quint16 port) {
  Reset();
  mode_ = Mode::Active;
  activePort_ = port;
}

void DataChannel::Reset() {
  Drop();
  mode_ = Mode::None;
  phase_ = Phase::Idle;
}

void DataChannel::Drop() {
  timer_.stop();
  listener_.reset();
  if (socket_) {
    socket_->disconnect(this);
    socket_->abort();
    socket_->deleteLater();
  }
  socket_ = nullptr;
  socketConnected_ = false;
  peerClosed_ = false;
}

void DataChannel::OnPassiveConnection() {
  while (listener_ && listener_->hasPendingConnections()) {
    QTcpSocket* s = listener_->nextPendingConnection();
    // Only the client of this session may connect, and only once.
    if (socket_ || !SameHost(s->peerAddress(), peer_)) {
      s->abort();
      s->deleteLater();
      continue;
    }
    s->setParent(this);
    Adopt(s);
    socketConnected_ = true;
    listener_->close();
  }
  if (socket_ && phase_ == Phase::Opening) OnConnected();
}

void DataChannel::Adopt(QTcpSocket* socket) {
  socket_ = socket;
  socket_->setReadBufferSize(kDataReadBufferSize);
  socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
  connect(socket_, &QTcpSocket::readyRead, this, &DataChannel::OnReadyRead);
  connect(socket_, &QTcpSocket::bytesWritten, this, &DataChannel::OnBytesWritten);
  connect(socket_, &QTcpSocket::disconnected, this, &DataChannel::OnDisconnected);
  connect(socket_, &QTcpSocket::errorOccurred, this, &DataChannel::OnError);
}

void DataChannel::Open() {
  phase_ = Phase::Opening;
  timer_.start(kDataConnectTimeoutMs);
  if (mode_ == Mode::Passive) {
    if (socketConnected_) QMetaObject::invokeMethod(this, &DataChannel::OnConnected, Qt::QueuedConnection);
    return;
  }
  if (mode_ != Mode::Active) {
    Complete(false, "no data connection was set up");
    return;
  }
  auto* s = new QTcpSocket(this);
  // Straight to the client: a proxy configured for the user's other
  // programs has no say in a loopback data connection (and asking for one
  // starts a proxy lookup thread on every transfer).
  s->setProxy(QNetworkProxy::NoProxy);
  Adopt(s);
  connect(s, &QTcpSocket::connected, this, [this, s] {
    s->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    socketConnected_ = true;
    OnConnected();
  });
  // Connect from the address the client reached us on.
  s->bind(local_, 0);
  s->connectToHost(peer_, activePort_);
}

void DataChannel::OnConnected() {
  if (phase_ != Phase::Opening || !socket_) return;
  timer_.stop();
  emit Opened();
}

void DataChannel::Send(const QByteArray& payload) {
  if (!socket_) return Complete(false, "no data connection");
  phase_ = Phase::Sending;
  if (peerClosed_) return Complete(false, "the client closed the data connection early");
  timer_.start(kTransferStallTimeoutMs);
  if (!payload.isEmpty()) socket_->write(payload);
  OnBytesWritten();
}

void DataChannel::Receive() {
  if (!socket_) return Complete(false, "no data connection");
  phase_ = Phase::Receiving;
  timer_.start(kTransferStallTimeoutMs);
  OnReadyRead();
  if (peerClosed_) OnDisconnected();
}

void DataChannel::OnReadyRead() {
  if (phase_ != Phase::Receiving || !socket_) return;
  const QByteArray chunk = socket_->readAll();
  if (chunk.isEmpty()) return;
  timer_.start(kTransferStallTimeoutMs);
  emit DataReceived(chunk);
}

void DataChannel::OnBytesWritten() {
  if (phase_ != Phase::Sending || !socket_) return;
  timer_.start(kTransferStallTimeoutMs);
  // Everything handed to the system: close, and finish once the close is
  // through (disconnectFromHost waits for the remaining bytes).
  if (socket_->bytesToWrite() == 0) {
    if (socket_->state() == QAbstractSocket::UnconnectedState)
      Complete(true, {});
    else
      socket_->disconnectFromHost();
  }
}

void DataChannel::OnDisconnected() {
  peerClosed_ = true;
  switch (phase_) {
    case Phase::Receiving:
      if (socket_) {
        const QByteArray rest = socket_->readAll();
        if (!rest.isEmpty()) emit DataReceived(rest);
      }
      return Complete(true, {});
    case Phase::Sending:
      return Complete(socket_ && socket_->bytesToWrite() == 0, "the client closed the data connection early");
    default:
      // Closed before the transfer began (a quick upload): what it sent is
      // still buffered, so the transfer goes on when it starts.
      return;
  }
}

void DataChannel::OnError(QAbstractSocket::SocketError error) {
  // The client's close ends an upload normally; disconnected() follows.
  if (error == QAbstractSocket::RemoteHostClosedError) return;
  if (phase_ == Phase::Opening || phase_ == Phase::Sending || phase_ == Phase::Receiving)
    Complete(false, socket_ ? socket_->errorString() : QStringLiteral("socket error"));
}

void DataChannel::OnTimeout() {
  if (phase_ == Phase::Opening) return Complete(false, "timed out waiting for the data connection");
  if (phase_ == Phase::Sending || phase_ == Phase::Receiving) return Complete(false, "data transfer stalled");
}

void DataChannel::Complete(bool ok, const QString& reason) {
  const Phase was = phase_;
  if (was == Phase::Done || was == Phase::Idle) return;
  phase_ = Phase::Done;
  Drop();
  mode_ = Mode::None;  // each transfer needs a new PORT/PASV
  if (was == Phase::Opening && !ok)
    emit Failed(reason);
  else
    emit Finished(ok, reason);
}

}  // namespace modemsim
