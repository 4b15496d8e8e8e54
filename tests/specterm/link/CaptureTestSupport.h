#pragma once

// Helpers of the capture cycle tests: the window pointed at a simulator
// started by the test, the simulator's command log, and its faults switched
// at run time through "control:".

#include "FormFixture.h"
#include "TestSupport.h"

#include <memory>
#include <string>
#include <vector>

namespace specterm::testing {

// One line of the simulator's log: "TIME #SESSION TEXT" ("> COMMAND" for a
// command, otherwise an event such as "open ..." or "close (quit)").
struct LogEntry {
  int session = 0;
  std::string text;
};

std::vector<LogEntry> ReadLog(const testsupport::ModemSim& sim);
// How many entries have exactly this text.
int CountText(const std::vector<LogEntry>& log, const std::string& text);
// The commands of one session, in order, without the "> ".
std::vector<std::string> SessionCommands(const std::vector<LogEntry>& log, int session);
// The sessions that logged this text, in order.
std::vector<int> SessionsWith(const std::vector<LogEntry>& log, const std::string& text);

// Writes lines to the simulator's "control:" as the exempt "control" user;
// true when the simulator took them.
bool SendControl(const testsupport::ModemSim& sim, const std::string& lines);

// A window whose modem directory names one modem, "Simulator", at address,
// as the last modem.
class CaptureFixture : public FormTest {
 protected:
  static constexpr int kFastPollMs = 20;

  testsupport::ModemSim& StartSim(std::vector<std::string> args = {});
  void StoreModem(const std::string& address, bool stopUpdates);
  // Opens the window on the simulator, polling every pollMs.
  frmMain& OpenOnSim(bool stopUpdates, int pollMs = kFastPollMs);
  // Waits until no cycle and no connection attempt is in flight.
  bool WaitLinkIdle(std::chrono::milliseconds timeout = std::chrono::seconds(10));
  // The link status image on the "Status" panel and toolbar button.
  bool StatusImageIs(int image) const;
  QString StatusText() const;

  std::unique_ptr<testsupport::ModemSim> sim;
};

}  // namespace specterm::testing
