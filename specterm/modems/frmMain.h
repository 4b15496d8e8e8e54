#pragma once

// The analyzer's main window and composition root. It owns every control of
// the window and the state that the subsystems share, grouped per subsystem.
// Its event handlers keep their design names and are defined in the folder
// of their subsystem:
//   modems/       start-up, shutdown, titles, the modem directory
//   view/         palettes, plot drawing, window layout, status bar
//   interaction/  control wiring, command dispatch, trace switches, labels

#include "forms/ImageList.h"
#include "interaction/InteractionState.h"
#include "link/CaptureState.h"
#include "modems/FormState.h"
#include "modems/Modems.h"
#include "processing/SpectrumUpdate.h"
#include "view/Palettes.h"
#include "view/ViewState.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>
#include <string>

class QAction;
class QComboBox;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QScrollBar;
class QTimer;

namespace forms {
class KeyedStatusBar;
class KeyedToolBar;
class PictureBox;
}  // namespace forms

namespace specterm {

struct Settings;

class frmMain : public QMainWindow {
  Q_OBJECT

 public:
  explicit frmMain(QWidget* parent = nullptr);
  ~frmMain() override;

  // Loads settings and the modem directory, shows the window and, when a
  // modem is remembered with updates running, arms the first connection.
  void Form_Load();

  // ----- Menus (QActions named after their design names) -----
  QMenu* mnuFile = nullptr;
  QMenu* mnuFileExport = nullptr;
  QAction* mnuFileRaw = nullptr;
  QAction* mnuFileTransformed = nullptr;
  QAction* mnuFileScaled = nullptr;
  QAction* mnuFilePeakHold = nullptr;
  QAction* mnuFileVideoAverage = nullptr;
  QAction* mnuFileExit = nullptr;

  QMenu* mnuView = nullptr;
  QAction* mnuViewSelect = nullptr;
  QAction* mnuViewZoomWin = nullptr;
  QAction* mnuViewZoomIn = nullptr;
  QAction* mnuViewZoomOut = nullptr;
  QAction* mnuViewPan = nullptr;
  QAction* mnuViewEnd = nullptr;
  QAction* mnuViewFitView = nullptr;
  QAction* mnuViewPrevious = nullptr;
  QAction* mnuViewZoomCursors = nullptr;
  QMenu* mnuViewDBBMenu = nullptr;
  QMenu* mnuViewFBMenu = nullptr;
  std::array<QAction*, 10> mnuViewDBB{};
  std::array<QAction*, 10> mnuViewFB{};
  QAction* mnuViewFirstPoint = nullptr;
  QAction* mnuViewNextPoint = nullptr;
  QAction* mnuViewPreviousPoint = nullptr;
  QAction* mnuViewLastPoint = nullptr;
  QAction* mnuViewCurPoint = nullptr;
  QAction* mnuViewPeakPoint = nullptr;
  QAction* mnuViewThreshold = nullptr;
  std::array<QAction*, 2> mnuViewCursor{};
  QAction* mnuViewCursors = nullptr;
  QAction* mnuViewCopy = nullptr;
  QAction* mnuViewSep1 = nullptr;
  QAction* mnuViewDone = nullptr;

  QMenu* mnuTools = nullptr;
  QAction* mnuToolsCurrentTrace = nullptr;
  QAction* mnuToolsLastTrace = nullptr;
  QAction* mnuToolsVideoAverage = nullptr;
  QAction* mnuToolsPeakHold = nullptr;

  QMenu* mnuOptions = nullptr;
  QAction* mnuOptionsWindow = nullptr;
  QAction* mnuOptionsSnap = nullptr;
  QAction* mnuOptionsPanel = nullptr;
  std::array<QAction*, 2> mnuOptionsPalette{};
  std::array<QMenu*, 2> mnuViewColors{};
  // The colour items per palette, in the order of kColorMenuItems.
  std::array<std::array<QAction*, 8>, 2> mnuOptionsColor{};

  QMenu* mnuComm = nullptr;
  QAction* mnuCommAdd = nullptr;
  QAction* mnuCommManage = nullptr;
  QMenu* mnuCommRecent = nullptr;
  std::array<QAction*, 10> mnuCommSel{};
  QAction* mnuCommSep0 = nullptr;
  QAction* mnuCommStopGo = nullptr;
  QAction* mnuCommSingleStep = nullptr;

  QMenu* mnuHelp = nullptr;
  QAction* mnuHelpAbout = nullptr;

  // ----- Controls -----
  forms::KeyedToolBar* tbMain = nullptr;
  forms::KeyedToolBar* tbCursors = nullptr;
  forms::PictureBox* picSpectrum = nullptr;
  forms::KeyedStatusBar* sbStatus = nullptr;
  QProgressBar* pbStatus = nullptr;
  QPushButton* cmdUpdate = nullptr;
  QPushButton* cmdCoord = nullptr;
  QScrollBar* hScroll = nullptr;
  QScrollBar* vScroll = nullptr;
  QLineEdit* txtPoint = nullptr;
  QLineEdit* txtFreq = nullptr;
  QLineEdit* txtAmp = nullptr;
  QLineEdit* txtThreshold = nullptr;
  std::array<QLineEdit*, 8> txtCursor{};
  QComboBox* comboPeakPoint = nullptr;
  QTimer* timerPoll = nullptr;
  QTimer* timerConnection = nullptr;
  QTimer* timerStatus = nullptr;
  QTimer* timerCoord = nullptr;

  // Main toolbar images (7, 8 and 9 are the link status images), the cursor
  // toolbar's images and the plot's mouse pointers.
  forms::ImageList imgToolbar;
  forms::ImageList imgCursorBar;
  forms::ImageList imgCursors;

  // ----- State shared by the subsystems -----
  ViewState View;
  LayoutState Layout;
  PaletteState Palette;
  LinkState Link;
  // The samples, the capture's frequency axis (BandLow, BandHigh, SpanScale,
  // FreqFormat, CenterFreq, SampleRate), the transform output, the four
  // traces with TraceShown and the amplitude scale (AmpFloor, AmpCeiling,
  // AmpRange): one home for what the update writes and the view reads.
  std::unique_ptr<SpectrumState> Spectrum = std::make_unique<SpectrumState>();
  ExportState Export;
  SelectionState Selection;
  MouseState Mouse;
  CursorState Cursors;
  CommandState Commands;
  EntryState Entry;
  Modems ModemList;
  std::string LastModem;
  int StoredModemCount = 0;

  // ----- Start-up and shutdown (modems/) -----
  void Form_Initialize();
  void Form_Unload();
  void ReleaseSession();
  void timerConnection_Timer();
  void mnuFileExit_Click();
  void mnuHelpAbout_Click();
  void SetTitle(const std::string& title);

  // ----- Palettes (view/) -----
  void mnuOptionsPalette_Click(int index);
  // The colour item of palette p for one slot.
  void EditPaletteColor(int palette, int slot);

  // ----- Plot drawing and the view (view/) -----
  void UpdateView();
  void SetPrevious();

  // ----- View model, scroll bars, mouse modes and view keys (view/ViewCommands.cpp,
  // view/ScrollBars.cpp, interaction/MouseModes.cpp, interaction/KeyCommands.cpp) -----
  void SetChecksDB(int index);
  void SetChecksFB(int index);
  void mnuViewDBB_Click(int index);
  void mnuViewFB_Click(int index);
  // Zoom and centre about the selected location; fit and previous view.
  void ZoomOutView();
  void ZoomInView();
  void CenterView();
  void FitView();
  void PreviousView();
  void PanView(int keyCode, bool moveMouse);
  void SetScrollBars();
  void hScroll_Change();
  void hScroll_Scroll();
  void vScroll_Change();
  void vScroll_Scroll();
  // Puts the mouse pointer on a plot location.
  void MoveCursor(float& x, float& y);
  // The selected location lies within the view, bounds included.
  bool InRange() const;
  void picSpectrum_MouseDown(int button, int shift, float x, float y);
  void picSpectrum_MouseMove(int button, int shift, float x, float y);
  void picSpectrum_MouseUp(int button, int shift, float x, float y);
  void picSpectrum_Click();
  void Form_MouseDown(int button, int shift, float x, float y);
  void Form_KeyUp(int keyCode, int shift);
  void mnuViewEnd_Click();
  // The view and mode keys of the main toolbar and its button menus; false
  // for keys that are not theirs.
  bool ViewButtonClick(const QString& key);
  bool ViewButtonMenuClick(const QString& buttonKey, const QString& menuKey);
  // The window previews key releases (Form_KeyUp) while this is set.
  bool KeyPreview = true;

  // ----- Window layout (view/) -----
  void Form_Resize();

  // ----- Status bar (view/) -----
  // A transient notice in the "Status" panel, cleared after five seconds.
  void ShowStatusMessage(const QString& text);
  void timerStatus_Timer();
  void timerCoord_Timer();
  void mnuViewCopy_Click();
  void sbStatus_PanelDblClick(const QString& key);
  void SetStatusImage(int image);

  // ----- Trace switches (view/) -----
  void mnuToolsCurrentTrace_Click();
  void mnuToolsLastTrace_Click();
  void mnuToolsVideoAverage_Click();
  void mnuToolsPeakHold_Click();

  // ----- Commands and labels (interaction/) -----
  void tbMain_ButtonClick(const QString& key);
  void tbMain_ButtonMenuClick(const QString& buttonKey, const QString& menuKey);
  void tbMain_MouseDown(int button, int shift, float x, float y);
  void tbCursors_ButtonClick(const QString& key);
  void comboPeakPoint_Click();
  void mnuViewPeakPoint_Click();
  void SetMoveButtons();

  // ----- Capture cycle and the update (link/, view/UpdateSpectrum.cpp) -----
  // The modem session ("Ftp"), living on the link thread; every FTP call
  // and pause of the cycle runs there and the steps below continue on this
  // thread when their results come back.
  ModemSessionPtr Ftp{NewModemSession(this)};
  CaptureState Capture;
  void Connect(bool ShowStatus, bool NoTimerStart, std::function<void()> then = {});
  void TriggerCapture(std::function<void(bool)> then);
  void ReadSpectrum(std::function<void(bool)> then);
  void timerPoll_Timer();
  // The "StopGo" and "SingleStep" commands.
  void StopGo();
  void SingleStep();
  // Drops every link step in flight (its session must then be released).
  void AbandonLink();
  // Plans the FFT and sets up the network library once, on the link
  // thread, so that neither first use stalls the window.
  void WarmUp();
  void cmdUpdate_Click();

  // ----- Data-set exports (interaction/ExportCommands.cpp) -----
  void mnuFileRaw_Click();
  void mnuFileTransformed_Click();
  void mnuFileScaled_Click();
  void mnuFilePeakHold_Click();
  void mnuFileVideoAverage_Click();

 signals:
  // A data set from the modem has been drawn; count since start-up.
  void DataSetShown(int count);

 public:

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // The form's design (modems/FormDesign.cpp, modems/ToolbarDesign.cpp).
  void BuildMenus();
  void BuildToolbars();
  void BuildControls();
  // Connects every control to its handler (interaction/ControlWiring.cpp).
  void WireControls();
  // The plot's mouse, the scroll bars, the presets and the view keys
  // (interaction/ViewWiring.cpp).
  void WireViewControls();

  // Start-up steps (modems/Startup.cpp).
  void ApplyPlacement(const Settings& settings);
  void ApplySettings(const Settings& settings);
  void LoadModemDirectoryIntoMenu();
  Settings CollectSettings() const;

  // Window layout helpers (view/WindowLayout.cpp).
  int WindowWidthTwips() const;
  int WindowHeightTwips() const;
  void SetWindowSizeTwips(int widthTwips, int heightTwips);
  void PlaceStatusFields();
  void PlaceCursorFields();
  void ShowProgressRoom();

  QWidget* client_ = nullptr;  // the client area below the menu bar
  bool refusingSize_ = false;  // a size refusal is being shown
  int settingBack_ = 0;        // a refused size is being set back
  bool unloaded_ = false;
};

}  // namespace specterm
