#pragma once

// The File menu's data-set exports and the "Export" toolbar button with its
// drop-down ("Raw", "Transformed", "TranScaled", "PeakHold",
// "VideoAverage"), and beside them "Save Traces as &CSV...": a save dialog that starts in the folder of the last
// export, a question before a file is overwritten, the writer with the
// progress bar, and the folder and kind remembered for next time.

#include <QString>

#include <cstdint>
#include <functional>
#include <string>

class QAction;
class QMenu;
class QWidget;

namespace specterm {

class Processing;
class StatusBarPresenter;

// The File menu's export items. The exports do not drive them: the window
// connects each to its command, as it connects the "Export" button.
struct ExportControls {
  QMenu* mnuFileExport = nullptr;
  QAction* mnuFileRaw = nullptr;
  QAction* mnuFileTransformed = nullptr;
  QAction* mnuFileScaled = nullptr;
  QAction* mnuFilePeakHold = nullptr;
  QAction* mnuFileVideoAverage = nullptr;
  // "Save Traces as &CSV...": the shown traces as a table.
  QAction* mnuFileCsv = nullptr;
};

class ExportCommands {
 public:
  ExportCommands(QWidget* window, const Processing& spectrum, StatusBarPresenter& status);

  void mnuFileRaw_Click();
  void mnuFileTransformed_Click();
  void mnuFileScaled_Click();
  void mnuFilePeakHold_Click();
  void mnuFileVideoAverage_Click();
  // The shown traces in rising frequency as a CSV table; the file starts in
  // the folder of the last export and is replaced only when complete.
  void mnuFileCsv_Click();
  // Names the modem of the data sets for the table's comment line.
  void SetModemNameSource(std::function<std::string()> source) { modemName_ = std::move(source); }
  // Runs the export of a drop-down entry; false for a key that is not one.
  bool RunMenuItem(const QString& menuKey);
  // The "Export" button: repeats the last kind of export.
  void RepeatLast();

  // The folder of the last export, ending in "/".
  const std::string& LastPath() const { return lastPath_; }
  void SetLastPath(const std::string& path) { lastPath_ = path; }
  // The kind of the last completed export: 0 raw .. 4 video average.
  std::int32_t LastExport() const { return lastExport_; }

 private:
  void Run(int kind);
  void Write(int kind, const QString& fileName);

  QWidget* window_;
  const Processing& spectrum_;
  StatusBarPresenter& status_;
  std::string lastPath_;
  std::int32_t lastExport_ = 0;
  std::function<std::string()> modemName_;
};

}  // namespace specterm
