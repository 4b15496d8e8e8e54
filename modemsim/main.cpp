// modemsim: a simulated Halden modem on loopback (see --help).

#include "CommandLog.h"
#include "FtpServer.h"
#include "ModemState.h"
#include "Options.h"
#include "base/ProgramOptions.h"

#include <QCoreApplication>
#include <QHostAddress>

#include <csignal>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  std::signal(SIGPIPE, SIG_IGN);  // a vanished client is an error return, not a signal
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string error;
  const std::optional<modemsim::Options> options = modemsim::ParseOptions(args, &error);
  if (!options) {
    std::fputs(halden::UsageErrorText("modemsim", {modemsim::kUsage}, error).c_str(), stderr);
    return halden::kExitUsage;
  }
  if (options->help) {
    std::fputs(modemsim::HelpText().c_str(), stdout);
    return 0;
  }
  if (options->version) {
    std::fputs(halden::VersionText("modemsim").c_str(), stdout);
    return 0;
  }

  QHostAddress address;
  if (options->listen == "localhost")
    address = QHostAddress::LocalHost;
  else if (!address.setAddress(QString::fromStdString(options->listen))) {
    std::fprintf(stderr, "modemsim: --listen needs a numeric address, not '%s'\n", options->listen.c_str());
    return 2;
  }

  QCoreApplication app(argc, argv);
  try {
    modemsim::CommandLog log(options->logFile);
    modemsim::ModemState modem(*options, log);
    modemsim::FtpServer server(modem, log);
    if (!server.Listen(address, static_cast<quint16>(options->port), &error)) {
      std::fprintf(stderr, "modemsim: cannot listen on %s port %d: %s\n", options->listen.c_str(), options->port,
                   error.c_str());
      return 1;
    }
    const QString host = server.Address().protocol() == QAbstractSocket::IPv6Protocol
                             ? "[" + server.Address().toString() + "]"
                             : server.Address().toString();
    const std::string where = host.toStdString() + ":" + std::to_string(server.Port());
    std::printf("listening on %s\n", where.c_str());
    std::fflush(stdout);
    log.Write(0, "listening on " + where);
    return QCoreApplication::exec();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "modemsim: %s\n", e.what());
    return 1;
  }
}
