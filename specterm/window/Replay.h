#pragma once

// File > "Open Recording...": replays a recording of data sets in place of
// the modem's. Opening stops the updates; each data set shown goes through
// the same update as the modem's, the replay bar's buttons and slider step
// through the recording, the waterfall shows the recording's data sets up to
// the one shown, and the title names the file. Closing the replay gives the
// waterfall its own rows back and returns to the modem, resuming the updates
// when they ran before.
//
// The recording is mapped, not read: a day's recording opens at once, and
// only the data sets shown (and the waterfall's) are touched.

#include "processing/Recording.h"
#include "processing/WaterfallHistory.h"

#include <QObject>
#include <QString>

#include <cstddef>
#include <memory>

class QAction;
class QLabel;
class QMainWindow;
class QSlider;
class QToolBar;

namespace specterm {

class CaptureCycle;
class Processing;
class Recorder;
class StatusBarPresenter;
class Waterfall;
struct SpectrumState;

// The controls of the replay: its File menu item and the replay bar.
struct ReplayControls {
  QAction* mnuFileOpenRecording = nullptr;
  QToolBar* tbReplay = nullptr;
  QAction* cmdReplayFirst = nullptr;
  QAction* cmdReplayPrevious = nullptr;
  QAction* cmdReplayNext = nullptr;
  QAction* cmdReplayLast = nullptr;
  QAction* cmdReplayClose = nullptr;
  QSlider* sldReplay = nullptr;
  QLabel* lblReplay = nullptr;
};

class Replay : public QObject {
  Q_OBJECT

 public:
  Replay(ReplayControls& controls, QMainWindow& window, CaptureCycle& cycle, const Processing& spectrum,
         Waterfall& waterfall, Recorder& recorder, StatusBarPresenter& status);
  ~Replay() override;

  bool Active() const { return reader_ != nullptr; }
  const QString& FileName() const { return fileName_; }
  std::size_t Count() const;
  // The record shown.
  std::size_t Position() const { return position_; }
  // Whether closing the replay resumes the updates.
  bool ResumesUpdates() const { return resumeUpdates_; }

  // Asks for a recording and replays it.
  void mnuFileOpenRecording_Click();
  // Replays a recording from its last data set; false after telling the
  // user why it cannot.
  bool Open(const QString& fileName);
  // Shows a record of the recording (held to its range).
  void MoveTo(std::size_t index);
  void First();
  void Previous();
  void Next();
  void Last();
  // Returns to the modem; the updates resume when they ran before the
  // replay, unless the user is starting them himself.
  void Close(bool resume = true);

 signals:
  // The replay bar was shown or hidden: lay the window out again.
  void LayoutChanged();

 private:
  // The waterfall's rows up to a record: one more row after the last one,
  // else rows made afresh from the recording.
  void FillWaterfall(std::size_t index);
  void ShowPosition();

  ReplayControls& c_;
  QMainWindow& window_;
  CaptureCycle& cycle_;
  const Processing& spectrum_;
  Waterfall& waterfall_;
  Recorder& recorder_;
  StatusBarPresenter& status_;
  std::unique_ptr<RecordingReader> reader_;
  QString fileName_;
  std::size_t position_ = 0;
  bool resumeUpdates_ = false;
  QString modemTitle_;   // the title before the replay
  QString replayTitle_;  // the title the replay set
  // The modem's rows, while the waterfall shows the recording's.
  WaterfallHistory liveRows_;
  // Where the waterfall's rows of the recording are processed.
  std::unique_ptr<SpectrumState> rowState_;
};

}  // namespace specterm
