// Start-up and shutdown of the main window: loading the settings and the
// modem directory and handing each setting to the subsystem that owns it,
// the titles, and saving all of it when the window closes.

#include "forms/PictureBox.h"
#include "modems/RegSettings.h"
#include "modems/Settings.h"
#include "modems/Titles.h"
#include "modems/frmAbout.h"
#include "registry/Registry.h"
#include "window/frmMain.h"

#include <QAction>
#include <QCloseEvent>
#include <QEvent>
#include <QTimer>

namespace specterm {

void frmMain::ApplySettings(const Settings& s) {
  layout_.ApplyPlacement(s.Placement);
  // Palettes, then the palette in use.
  view_.SetPalettes(s.Palettes);
  view_.mnuOptionsPalette_Click(s.CurrentPalette);
  exports_.SetLastPath(s.LastPath);
  pictures_.SetFolder(QString::fromStdString(s.LastPath));
  mnuOptionsWindow->setChecked(s.WindowSpectrum);
  spectrum_.SetWindowSpectrum(s.WindowSpectrum);
  cycle_.ApplyStopUpdates(s.StopUpdates);
  traces_.ApplyShown(kTraceCurrent, s.CurrentTrace);
  traces_.ApplyShown(kTracePeakHold, s.PeakHold);
  traces_.ApplyShown(kTraceVideoAverage, s.VideoAverage);
  traces_.ApplyShown(kTracePrevious, s.LastTrace);
  // The trace rows are shown by now: the selection starts on the first.
  navigation_.ApplySettings(s.SnapToPoint, s.SelectionPanelOn, s.PointMoves, s.PeakThreshold);
  cursors_.ApplySettings(s.CursorDisplay, s.CursorPos);
  measurements_.ApplyPlacement(s.Measurements);
  waterfall_.ApplySettings(s.WaterfallShown, s.WaterfallShare);
}

Settings frmMain::CollectSettings() const {
  Settings s;
  s.WindowState = layout_.SavedWindowState();
  s.Placement = layout_.Placement();
  s.Palettes = view_.Palettes();
  s.CurrentPalette = view_.CurrentPalette();
  s.LastPath = exports_.LastPath();
  s.WindowSpectrum = spectrum_.WindowSpectrum();
  // A replay has stopped the updates only for a while.
  s.StopUpdates = replay_.Active() ? !replay_.ResumesUpdates() : cycle_.StopUpdates();
  s.SnapToPoint = navigation_.SnapToPoint();
  s.SelectionPanelOn = navigation_.SelectionPanelOn();
  s.CursorDisplay = cursors_.CursorDisplay();
  s.CursorPos = cursors_.State().CursorPos;
  s.PointMoves = navigation_.Selection().MoveType;
  s.PeakThreshold = navigation_.Selection().MinPeakThreshold;
  s.CurrentTrace = spectrum_.TraceShown(kTraceCurrent);
  s.PeakHold = spectrum_.TraceShown(kTracePeakHold);
  s.VideoAverage = spectrum_.TraceShown(kTraceVideoAverage);
  s.LastTrace = spectrum_.TraceShown(kTracePrevious);
  s.Measurements = measurements_.Placement();
  s.WaterfallShown = waterfall_.Shown();
  s.WaterfallShare = waterfall_.Share();
  return s;
}

bool frmMain::Form_Load() {
  directory_.SetTitle(TitleWithoutModem());
  Settings settings = LoadSettings(view_.Palettes());
  // A modem named on the command line is watched at once.
  if (directory_.HasStartRequest()) settings.StopUpdates = false;
  ApplySettings(settings);
  if (!directory_.Load(cycle_.StopUpdates())) return false;

  layout_.SetReady();
  switch (settings.WindowState) {
    case kWindowMaximized:
      showMaximized();
      break;
    case kWindowMinimized:
      showMinimized();
      break;
    default:
      show();
      break;
  }
  layout_.Form_Resize();
  // The window's keys work from the start: the plot has the keyboard.
  picSpectrum->setFocus();

  // The first transform plans the FFT and the first session sets up the
  // network library; done now, off this thread, neither stalls the window.
  cycle_.WarmUp();
  cycle_.StartUp();
  return true;
}

void frmMain::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  const bool normal = !isMinimized() && !isMaximized() && !isFullScreen();
  {
    // Every value of the settings and the directory lands in one rewrite of
    // the hive file, rather than one synced rewrite per value.
    registry::WriteBatch batch;
    SaveSettings(CollectSettings(), normal);
    directory_.Save();
  }
  cycle_.Shutdown();
  recorder_.Stop();
  for (QTimer* timer : {timerPoll, timerConnection, timerStatus, timerCoord}) timer->stop();
}

void frmMain::closeEvent(QCloseEvent* event) {
  Form_Unload();
  event->accept();
}

void frmMain::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  layout_.Form_Resize();
}

void frmMain::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  // Restoring from the minimised state lays the window out again.
  if (event->type() == QEvent::WindowStateChange && !isMinimized()) layout_.Form_Resize();
}

void frmMain::mnuFileExit_Click() { close(); }

void frmMain::mnuHelpAbout_Click() {
  auto* about = new frmAbout(this);
  about->setAttribute(Qt::WA_DeleteOnClose);
  about->setWindowModality(Qt::ApplicationModal);
  about->show();
}

}  // namespace specterm
