#pragma once

// The main window of the IQ monitor and its controller: the "ORBSCOPE"
// menu, the command table, the poll timer and the real-time update cycle.
// The plot is drawn into the monitor's picture at each poll and shown by the
// paint events of the client area.
//
// Every FTP step runs on the monitor's link thread; its continuation comes
// back to the window thread in order. Stopping (or losing the link) starts a
// new generation, and continuations of an older one are dropped, so a step
// still in flight when the user stops is abandoned.

#include "CommandLine.h"
#include "ConstellationMonitor.h"
#include "PlotView.h"
#include "reflash/FirmwareUpload.h"

#include <QMainWindow>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>

class QAction;

namespace orbscope {

class CAppWindow : public QMainWindow {
  Q_OBJECT
 public:
  struct Options {
    CommandLine commandLine;
    // Write the plot to this PNG after the first drawn poll and quit.
    QString snapshotFile;
  };

  // Creates the window as its create handler does; nothing when creation
  // fails (after reporting why, or without a report when the internet
  // session could not be opened).
  static std::unique_ptr<CAppWindow> Create(const Options& options);
  ~CAppWindow() override;

  // The command table: routes a menu command by its identifier.
  void OnCommand(int id);

  QAction* MenuItem(int id) const;
  CConstellationMonitor& Monitor() { return *monitor_; }
  PlotView* Plot() const { return plot_; }
  bool TimerRunning() const { return timerRunning_; }
  const QTimer& PollTimer() const { return pollTimer_; }
  bool StatisticsOn() const { return statisticsOn_; }
  // No FTP step of this window is queued or running.
  bool LinkIdle() const { return linkSteps_ == 0; }
  bool Starting() const { return starting_; }
  int DrawCount() const { return drawCount_; }
  void SetReflashTiming(const ReflashTiming& timing) { reflashTiming_ = timing; }

 signals:
  void Drawn();

 private:
  explicit CAppWindow(const Options& options);
  void BuildMenu();
  void EnableItem(int id, bool enabled);
  void SetStatistics(bool on);
  void UpdateTitle();
  // Runs an exception-safe window-thread step, as the window procedure would.
  void Guard(const std::function<void()>& step);

  // Commands.
  void SetModemAddress();
  void StartCommand();
  void StartRealTimeUpdate(bool automatic);
  void StopRealTimeUpdate();
  void Exit();
  void Reflash();
  void ToggleStatistics();
  void ShowHelp();
  void ShowAbout();

  // The real-time cycle.
  void StartSequenceRead(int readNumber);
  void TimerTick();
  void LostConnection();
  void Draw();
  void ShowProgress(const std::string& text);
  void FailSnapshot(const QString& why);

  // Runs work on the link thread and then, on this thread, then(result),
  // unless a stop came in between (abandon(result) then, if given).
  template <typename Result>
  void OnLink(std::function<Result()> work, std::function<void(Result)> then,
              std::function<void(Result)> abandon = nullptr);

  Options options_;
  std::unique_ptr<CConstellationMonitor> monitor_;
  PlotView* plot_ = nullptr;
  std::map<int, QAction*> items_;
  QTimer pollTimer_;
  bool timerRunning_ = false;
  bool statisticsOn_ = false;
  bool starting_ = false;
  // The start's connection attempt is out; Stop abandons it.
  bool connecting_ = false;
  unsigned generation_ = 0;
  int linkSteps_ = 0;
  int drawCount_ = 0;
  ReflashTiming reflashTiming_;
};

}  // namespace orbscope
