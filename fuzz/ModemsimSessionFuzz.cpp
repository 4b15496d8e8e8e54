// One client session of the simulator, as a client may hold it: the input
// is the bytes it sends on the control connection, cut into the pieces the
// session reads (so that lines are split anywhere), with a data connection
// opened to every passive port the session offers. Every command line gets
// one final reply, and the session ends when the client leaves.
//
// PORT and EPRT lines are left out: they make the session connect to a
// port on this machine that may belong to anyone.

#include "CommandParse.h"
#include "FtpSession.h"
#include "FuzzInput.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <functional>
#include <memory>

namespace {

using namespace modemsim;

// Waits for a condition while the event loop runs, at most `ms`.
bool Pump(const std::function<bool()>& done, int ms) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
  }
  return true;
}

struct Simulator {
  Simulator() {
    static int argc = 1;
    static char name[] = "fuzz_modemsim_session";
    static char* argv[] = {name, nullptr};
    app = std::make_unique<QCoreApplication>(argc, argv);
    log = std::make_unique<CommandLog>("/dev/null");
    modem = std::make_unique<ModemState>(Options{}, *log);
    if (!listener.listen(QHostAddress::LocalHost, 0)) std::abort();
  }
  std::unique_ptr<QCoreApplication> app;
  std::unique_ptr<CommandLog> log;
  std::unique_ptr<ModemState> modem;
  QTcpServer listener;
};

// The port of a "227 ... (h1,h2,h3,h4,p1,p2)" or "229 ... (|||port|)" reply.
int PassivePort(const std::string& line) {
  const std::size_t open = line.find('(');
  const std::size_t close = line.rfind(')');
  if (open == std::string::npos || close == std::string::npos || close < open) return 0;
  const std::string inside = line.substr(open + 1, close - open - 1);
  if (line.rfind("229", 0) == 0) return std::atoi(inside.c_str() + std::min<std::size_t>(3, inside.size()));
  const std::vector<std::string> parts = fuzz::Split(inside, ',');
  return parts.size() == 6 ? std::atoi(parts[4].c_str()) * 256 + std::atoi(parts[5].c_str()) : 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Simulator sim;
  if (size == 0 || size > 16384) return 0;
  sim.modem->Faults() = FaultSet{};

  // The first byte sets the piece size; the rest is what the client sends.
  const std::size_t piece = 1 + data[0] % 64;
  const std::vector<std::string> pieces = fuzz::Split(fuzz::Text(data + 1, size - 1), '\n');
  std::string sent;
  int lines = 0;  // complete command lines sent
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    const std::string verb = ParseCommand(CleanCommandLine(pieces[i])).verb;
    if (verb == "PORT" || verb == "EPRT") continue;
    sent += pieces[i];
    // The input's last piece has no line end of its own.
    if (i + 1 < pieces.size()) {
      sent += '\n';
      ++lines;
    }
  }

  QTcpSocket client;
  client.connectToHost(QHostAddress::LocalHost, sim.listener.serverPort());
  if (!Pump([&] { return sim.listener.hasPendingConnections(); }, 5000)) std::abort();
  bool ended = false;
  auto* session = new FtpSession(sim.listener.nextPendingConnection(), 1, *sim.modem, *sim.log, sim.app.get());
  QObject::connect(session, &FtpSession::Ended, [&ended] { ended = true; });

  // Replies: one final line per command, after the greeting.
  int finals = -1;
  std::string received;
  std::unique_ptr<QTcpSocket> dataSocket;
  QObject::connect(&client, &QTcpSocket::readyRead, [&] {
    received += client.readAll().toStdString();
    for (std::size_t nl = received.find('\n'); nl != std::string::npos; nl = received.find('\n')) {
      const std::string line = received.substr(0, nl);
      received.erase(0, nl + 1);
      const bool coded = line.size() >= 4 && std::isdigit(static_cast<unsigned char>(line[0])) &&
                         std::isdigit(static_cast<unsigned char>(line[1])) &&
                         std::isdigit(static_cast<unsigned char>(line[2])) && line[3] == ' ';
      if (!coded || line[0] == '1') continue;  // a continued or a preliminary reply
      ++finals;
      // The slow fault is the session's own matter; waiting for it is not.
      if (sim.modem->Faults().slowMs > 1) sim.modem->Faults().slowMs = 1;
      if (const int port = PassivePort(line); port > 0) {
        dataSocket = std::make_unique<QTcpSocket>();
        dataSocket->connectToHost(QHostAddress::LocalHost, static_cast<quint16>(port));
        QObject::connect(dataSocket.get(), &QTcpSocket::readyRead, [socket = dataSocket.get()] { socket->readAll(); });
        QObject::connect(dataSocket.get(), &QTcpSocket::connected, [socket = dataSocket.get()] {
          socket->write("fault clear\n1");
          socket->disconnectFromHost();
        });
      }
    }
  });
  Pump([&] { return finals == 0 || ended; }, 2000);

  int complete = 0;
  for (std::size_t at = 0; at < sent.size() && !ended; at += piece) {
    const std::string part = sent.substr(at, piece);
    client.write(part.data(), static_cast<qint64>(part.size()));
    complete += static_cast<int>(std::count(part.begin(), part.end(), '\n'));
    Pump([&] { return finals >= complete || ended; }, 300);
  }
  if (!ended && finals > lines) std::abort();  // a command answered twice

  client.abort();
  if (!Pump([&] { return ended; }, 5000)) std::abort();  // the session outlives its client
  dataSocket.reset();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return 0;
}
