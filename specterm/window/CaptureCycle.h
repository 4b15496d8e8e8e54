#pragma once

// The window's side of the modem link: connecting to the current modem, the
// capture cycle every 3 s (ask for a capture, pause, read it, hand it to the
// update and show the data set), connection loss, Stop/Go and Single Step,
// the three link timers and the link's status texts and images.
//
// The steps keep their order and their busy flags. Each FTP call and pause
// runs on the link thread (ModemSession); the step that follows it runs on
// the window's thread when its result comes back, so the window keeps
// painting and taking commands while the modem answers. Halting abandons
// the step in flight: its result is dropped and its session closed at once.

#include "link/ModemSession.h"
#include "modems/ModemDirectory.h"

#include <QObject>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QAction;
class QPushButton;
class QTimer;
class QWidget;

namespace specterm {

class Interaction;
class PlotView;
class Processing;
class StatusBarPresenter;
class TraceSwitches;
struct ToolbarControls;

// The controls of the link: the Communications menu's two commands, the
// link's timers and the (hidden) update button. The "StopGo", "SingleStep"
// and "Status" buttons of the main toolbar carry the same.
struct CycleControls {
  QAction* mnuCommStopGo = nullptr;
  QAction* mnuCommSingleStep = nullptr;
  QTimer* timerPoll = nullptr;
  QTimer* timerConnection = nullptr;
  // The update runs from the capture cycle; the button is not shown.
  QPushButton* cmdUpdate = nullptr;
};

// The pause between the capture request and the read of the capture.
inline constexpr std::chrono::milliseconds kCapturePause{200};
// The capture request: one byte of value 1 written to the trigger file.
inline constexpr const char* kCaptureFile = "capt_spec:";
inline constexpr char kCaptureRequest = '\x01';
inline constexpr const char* kSpectrumFile = "spectrum:";

// The link's state as the cycle keeps it.
struct LinkState {
  bool Connected = false;       // a connection to the current modem has succeeded
  bool StopUpdates = true;      // updates are stopped (stored between runs)
  bool SingleStepping = false;  // the running cycle was started by Single Step
  bool CaptureBusy = false;     // the capture request is in flight
  bool ReadBusy = false;        // the read of the capture is in flight
  bool LossReported = false;    // the connection-lost question was asked since the last good connection
  bool LossAccepted = false;    // Yes to that question: the outage reconnects without asking until a data set comes
};

class CaptureCycle : public QObject, public DirectoryLink {
  Q_OBJECT

 public:
  CaptureCycle(CycleControls& controls, ToolbarControls& toolbar, QWidget* window, Processing& spectrum, PlotView& view,
               Interaction& input, TraceSwitches& traces, StatusBarPresenter& status, const ModemDirectory& directory);
  ~CaptureCycle() override;

  const LinkState& Link() const { return link_; }
  bool StopUpdates() const { return link_.StopUpdates; }
  // The stored state at start-up: shown as stopped or running.
  void ApplyStopUpdates(bool stopped);
  // A cycle is between its tick and its end.
  bool CycleRunning() const { return cycleRunning_; }
  // A Connect waits for its connection.
  bool Connecting() const { return connecting_; }
  // Data sets shown since start-up.
  int DataSets() const { return dataSets_; }
  // The modem the cycle works with, taken from the directory at the start
  // of each cycle and of each connection outside one.
  const LinkModem& Modem() const { return modem_; }
  // The name of the modem whose link is up (updates running, connection
  // made); empty when there is none.
  std::string LinkedModem() const override;
  // Whether the link's commands can be used, as the directory's modems
  // come and go.
  void EnableStopGo(bool enabled) override;
  void EnableSingleStep(bool enabled) override;

  // After start-up, with the directory loaded: arms the first connection
  // when a modem is remembered and updates run; otherwise shows the idle
  // state as it is (with no modem to poll, stopped).
  void StartUp();
  // Arms the first connection.
  void StartConnectionTimer();
  void timerConnection_Timer();
  void timerPoll_Timer();
  // The "StopGo" and "SingleStep" commands.
  void StopGo();
  void SingleStep();
  // The update ("Update Spectrum") of the samples at hand, and what the
  // window shows of it.
  void cmdUpdate_Click();

  // Shows a data set that arrived while a mouse button was held on the
  // plot, now that the click has ended.
  void ShowHeldDataSet();
  // Shows a block through the same update as the modem's data sets, for
  // data sets from elsewhere (a replay); it is not counted as the modem's.
  // False when the band cannot be drawn: the "Status" panel says so and the
  // plot keeps what it shows.
  bool ShowBlock(const std::string& block);
  // Stops the updates for data sets from elsewhere: running updates halt as
  // by "StopGo", a step in flight is dropped. True when updates were
  // running.
  bool Halt();
  // When the last data set from the modem arrived (milliseconds since
  // 1970-01-01 UTC).
  std::int64_t LastArrival() const { return lastArrival_; }

  // Plans the FFT and sets up the network library once, on the link
  // thread, so that neither first use stalls the window.
  void WarmUp();
  // Drops every step in flight and the session: the window is closing.
  void Shutdown();

 signals:
  // An update has put a data set in the trace store and the plot shows it
  // (a data set from the modem, or the samples at hand processed again):
  // what follows the trace store (measurements, history) takes it from
  // here.
  void DataSetUpdated();
  // A data set from the modem has been drawn; count since start-up.
  void DataSetShown(int count);
  // A complete block came from the modem, before it is shown: what keeps
  // the modem's data sets (a recording) takes it from here.
  void BlockArrived(const std::string& block, std::int64_t arrivalMs);

 private:
  // Takes the directory's modem for what follows; false when there is none.
  bool TakeModem();
  void SetStopUpdates(bool stopped);
  // While nothing runs, the way to go on: in the field when no modem is
  // stored, in the "Status" panel when updates are stopped.
  void ShowIdleGuidance();
  // Who connects: a command (start-up, Go, Single Step), with the busy
  // pointer while it waits, and a failure stops the updates; or the
  // running cycle, which works in the background without the busy pointer
  // (the link image and the "Status" panel tell its state), and a failure
  // is shown while the updates go on: the next cycle connects afresh.
  enum class ConnectFrom { Command, Cycle };
  void Connect(bool ShowStatus, bool NoTimerStart, std::function<void()> then = {},
               ConnectFrom from = ConnectFrom::Command);
  // The cycle's own connections, without status texts.
  void ConnectInCycle(std::function<void()> then);
  // A capture step failed: shown until a connection succeeds again.
  void ShowCycleFailure(const QString& text);
  void TriggerCapture(std::function<void(bool)> then);
  void ReadSpectrum(std::function<void(bool)> then);
  void ReleaseSession();
  // Drops every link step in flight (its session must then be released).
  void AbandonLink();
  void ShowStopped();
  void BeginBusyCursor();
  void EndBusyCursor();
  void FftUnavailable(const std::string& error);
  // Parses a complete block, runs the update and counts the data set.
  void ShowDataSet(const std::string& block);

  CycleControls& c_;
  ToolbarControls& toolbar_;
  QWidget* window_;
  Processing& spectrum_;
  PlotView& view_;
  Interaction& input_;
  TraceSwitches& traces_;
  StatusBarPresenter& status_;
  const ModemDirectory& directory_;
  LinkState link_;
  bool cycleRunning_ = false;
  bool connecting_ = false;
  bool busyCursor_ = false;
  int dataSets_ = 0;
  std::int64_t lastArrival_ = 0;
  LinkModem modem_;
  std::string heldBlock_;  // a data set waiting for a click to end
  // The modem session ("Ftp"), living on the link thread.
  std::unique_ptr<ModemSession> Ftp;
};

}  // namespace specterm
