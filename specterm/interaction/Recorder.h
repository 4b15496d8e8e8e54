#pragma once

// File > "Record Data Sets...": asks for a file, then appends every data set
// the modem sends (its raw block with the time it arrived) until the same
// item stops it. The item is checked while recording, and the status bar
// counts the data sets recorded. A write that fails stops the recording and
// says why; what was written stays readable.

#include "processing/Recording.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <string_view>

class QAction;
class QLabel;
class QWidget;

namespace specterm {

class StatusBarPresenter;

// The controls of the recorder: its File menu item, and the count at the
// right end of the status bar's "Status" panel.
struct RecorderControls {
  QAction* mnuFileRecord = nullptr;
  QLabel* lblRecording = nullptr;
};

class Recorder : public QObject {
  Q_OBJECT

 public:
  Recorder(RecorderControls& controls, QWidget* window, StatusBarPresenter& status);
  ~Recorder() override;

  bool Recording() const { return writer_.IsOpen(); }
  // Data sets in the recording being made, or in the last one made.
  std::int64_t Count() const { return writer_.Records(); }
  const QString& FileName() const { return fileName_; }
  // The folder recordings are made in and opened from, ending in "/".
  const QString& Folder() const { return folder_; }
  void SetFolder(const QString& folder) { folder_ = folder; }

  // Starts a recording (asking for its file) or stops the one running.
  void mnuFileRecord_Click();
  // Records to a file, replacing one of that name; false after telling the
  // user why it cannot.
  bool Start(const QString& fileName);
  void Stop();
  // A block from the modem, as it arrived.
  void BlockArrived(std::string_view block, std::int64_t timeMs);

 private:
  void ShowState();

  RecorderControls& c_;
  QWidget* window_;
  StatusBarPresenter& status_;
  RecordingWriter writer_;
  QString fileName_;
  QString folder_;
};

}  // namespace specterm
