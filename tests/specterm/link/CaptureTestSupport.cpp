#include "CaptureTestSupport.h"

#include "forms/KeyedStatusBar.h"
#include "forms/KeyedToolBar.h"
#include "modems/ModemStore.h"
#include "modems/RegSettings.h"
#include "modems/Settings.h"
#include "wininet/WinInet.h"

#include <QTimer>
#include <QToolButton>

#include <sstream>

namespace specterm::testing {

std::vector<LogEntry> ReadLog(const testsupport::ModemSim& sim) {
  std::vector<LogEntry> log;
  for (const std::string& line : sim.LogLines()) {
    const std::size_t hash = line.find(" #");
    if (hash == std::string::npos) continue;
    const std::size_t space = line.find(' ', hash + 2);
    if (space == std::string::npos) continue;
    LogEntry entry;
    entry.session = std::stoi(line.substr(hash + 2, space - hash - 2));
    entry.text = line.substr(space + 1);
    log.push_back(entry);
  }
  return log;
}

int CountText(const std::vector<LogEntry>& log, const std::string& text) {
  int n = 0;
  for (const LogEntry& e : log) n += e.text == text ? 1 : 0;
  return n;
}

std::vector<std::string> SessionCommands(const std::vector<LogEntry>& log, int session) {
  std::vector<std::string> commands;
  for (const LogEntry& e : log)
    if (e.session == session && e.text.rfind("> ", 0) == 0) commands.push_back(e.text.substr(2));
  return commands;
}

std::vector<int> SessionsWith(const std::vector<LogEntry>& log, const std::string& text) {
  std::vector<int> sessions;
  for (const LogEntry& e : log)
    if (e.text == text) sessions.push_back(e.session);
  return sessions;
}

bool SendControl(const testsupport::ModemSim& sim, const std::string& lines) {
  HINTERNET session = InternetOpenA("test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  HINTERNET connection = InternetConnectA(session, sim.Address().c_str(), INTERNET_DEFAULT_FTP_PORT, "control", "",
                                          INTERNET_SERVICE_FTP, 0, 0);
  HINTERNET file = FtpOpenFileA(connection, "control:", GENERIC_WRITE, FTP_TRANSFER_TYPE_BINARY, 0);
  DWORD written = 0;
  bool ok = file != nullptr && InternetWriteFile(file, lines.data(), static_cast<DWORD>(lines.size()), &written) &&
            written == lines.size();
  ok = InternetCloseHandle(file) && ok;
  InternetCloseHandle(connection);
  InternetCloseHandle(session);
  return ok;
}

testsupport::ModemSim& CaptureFixture::StartSim(std::vector<std::string> args) {
  sim = std::make_unique<testsupport::ModemSim>(std::move(args));
  return *sim;
}

void CaptureFixture::StoreModem(const std::string& address, bool stopUpdates) {
  SaveRegSetting(std::string(kModemsKey) + "\\Modem1", "ModemName", "Simulator");
  SaveRegSetting(std::string(kModemsKey) + "\\Modem1", "IP_Address", address);
  SaveRegSetting(kModemsKey, "ModemCount", "1");
  SaveRegSetting(kModemsKey, "LastModem", "Simulator");
  SaveRegSetting(kConfigurationKey, "StopUpdates", stopUpdates ? "True" : "False");
}

frmMain& CaptureFixture::OpenOnSim(bool stopUpdates, int pollMs) {
  StoreModem(sim->Address(), stopUpdates);
  frmMain& f = Open();
  f.timerPoll->setInterval(pollMs);
  return f;
}

bool CaptureFixture::WaitLinkIdle(std::chrono::milliseconds timeout) {
  return testsupport::WaitUntil([this] { return !form->Cycle().CycleRunning() && !form->Cycle().Connecting(); },
                                timeout);
}

bool CaptureFixture::StatusImageIs(int image) const {
  const QImage expected = form->imgToolbar.Picture(image).toImage().convertToFormat(QImage::Format_ARGB32);
  const QImage panel =
      form->sbStatus->PanelPicture(QStringLiteral("Status")).toImage().convertToFormat(QImage::Format_ARGB32);
  auto* button = qobject_cast<QToolButton*>(form->tbMain->ButtonWidget(QStringLiteral("Status")));
  if (button == nullptr) return false;
  const QImage onButton = button->icon().pixmap(expected.size()).toImage().convertToFormat(QImage::Format_ARGB32);
  return panel == expected && onButton == expected;
}

QString CaptureFixture::StatusText() const { return form->sbStatus->PanelText(QStringLiteral("Status")); }

}  // namespace specterm::testing
