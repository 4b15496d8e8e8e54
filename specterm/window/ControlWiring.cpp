// Connects the controls of the main window to their handlers, and the main
// toolbar's dispatch: each button and drop-down entry goes to the subsystem
// that owns its command.

#include "forms/EntryBox.h"
#include "forms/KeyedStatusBar.h"
#include "forms/KeyedToolBar.h"
#include "window/frmMain.h"

#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>

namespace specterm {
namespace {

// The events of an entry box and their handlers.
struct EntryWiring {
  forms::EntryBox* EntryControls::*box;
  void (frmMain::*GotFocus)();
  void (frmMain::*KeyPress)(int&);
  void (frmMain::*KeyDown)(int&, int);
  void (frmMain::*Validate)(bool&);
  void (frmMain::*LostFocus)();
};

constexpr EntryWiring kEntryBoxes[] = {
    {&EntryControls::txtPoint, &frmMain::txtPoint_GotFocus, &frmMain::txtPoint_KeyPress, &frmMain::txtPoint_KeyDown,
     &frmMain::txtPoint_Validate, &frmMain::txtPoint_LostFocus},
    {&EntryControls::txtFreq, &frmMain::txtFreq_GotFocus, &frmMain::txtFreq_KeyPress, &frmMain::txtFreq_KeyDown,
     &frmMain::txtFreq_Validate, &frmMain::txtFreq_LostFocus},
    {&EntryControls::txtAmp, &frmMain::txtAmp_GotFocus, &frmMain::txtAmp_KeyPress, &frmMain::txtAmp_KeyDown,
     &frmMain::txtAmp_Validate, &frmMain::txtAmp_LostFocus},
    {&EntryControls::txtThreshold, &frmMain::txtThreshold_GotFocus, &frmMain::txtThreshold_KeyPress,
     &frmMain::txtThreshold_KeyDown, &frmMain::txtThreshold_Validate, &frmMain::txtThreshold_LostFocus},
};

}  // namespace

void frmMain::tbMain_ButtonClick(const QString& key) {
  // Starting the link ends a replay: the modem's data sets follow.
  if (key == QLatin1String("StopGo") || key == QLatin1String("SingleStep")) replay_.Close(false);
  // Trace switches, mouse modes, the view and the point moves.
  if (traces_.ButtonClick(key) || input_.ViewButtonClick(key) || input_.PointButtonClick(key)) return;
  // Link and export commands.
  if (key == QLatin1String("StopGo"))
    cycle_.StopGo();
  else if (key == QLatin1String("SingleStep"))
    cycle_.SingleStep();
  else if (key == QLatin1String("Export"))
    exports_.RepeatLast();
  else if (key == QLatin1String("PeakThreshold"))
    input_.mnuViewThreshold_Click();
  else if (key == QLatin1String("ZoomCursors"))
    mnuViewZoomCursors_Click();
}

void frmMain::tbMain_ButtonMenuClick(const QString& buttonKey, const QString& menuKey) {
  if (input_.ViewButtonMenuClick(menuKey)) return;
  if (buttonKey == QLatin1String("Export")) exports_.RunMenuItem(menuKey);
}

void frmMain::WireControls() {
  connect(mnuFileExit, &QAction::triggered, this, &frmMain::mnuFileExit_Click);
  connect(mnuHelpAbout, &QAction::triggered, this, &frmMain::mnuHelpAbout_Click);
  connect(mnuHelpKeys, &QAction::triggered, this, &frmMain::mnuHelpKeys_Click);

  for (int i = 0; i < 2; ++i)
    connect(mnuOptionsPalette[static_cast<std::size_t>(i)], &QAction::triggered, this,
            [this, i] { mnuOptionsPalette_Click(i); });
  for (int p = 0; p < 2; ++p)
    for (std::size_t i = 0; i < kColorMenuItems.size(); ++i) {
      const int slot = kColorMenuItems[i].slot;
      connect(mnuOptionsColor[static_cast<std::size_t>(p)][i], &QAction::triggered, this,
              [this, p, slot] { input_.EditPaletteColor(p, slot); });
    }
  connect(mnuOptionsWindow, &QAction::toggled, this, [this](bool on) { spectrum_.SetWindowSpectrum(on); });

  connect(mnuToolsCurrentTrace, &QAction::triggered, this, &frmMain::mnuToolsCurrentTrace_Click);
  connect(mnuToolsLastTrace, &QAction::triggered, this, &frmMain::mnuToolsLastTrace_Click);
  connect(mnuToolsVideoAverage, &QAction::triggered, this, &frmMain::mnuToolsVideoAverage_Click);
  connect(mnuToolsPeakHold, &QAction::triggered, this, &frmMain::mnuToolsPeakHold_Click);
  // A hidden row takes the last selection on it along; the moves need a
  // row that is shown.
  connect(&traces_, &TraceSwitches::TraceSwitched, this, [this](int row, bool on) {
    navigation_.TraceSwitched(row, on);
    navigation_.SetMoveButtons();
  });
  // The threshold box shows the threshold however it was set.
  connect(&navigation_, &Navigation::ThresholdChanged, this, [this](float dB) { entries_.ShowThreshold(dB); });

  // The measurements read the cursors and the selection as they are, and
  // measure again whenever what they read changes.
  measurements_.SetInputs([this] {
    const CursorState& cursors = cursors_.State();
    const SelectionState& selection = navigation_.Selection();
    return MeasurementInputs{selection.SelectedTrace, cursors.BothPlaced(), cursors_.CursorDisplay(),
                             cursors.CursorPos[0],    cursors.CursorPos[2], selection.MinPeakThreshold};
  });
  const auto measure = [this] { measurements_.Refresh(); };
  connect(&cycle_, &CaptureCycle::DataSetUpdated, &measurements_, measure);
  connect(&cursors_, &Cursors::CursorsChanged, &measurements_, measure);
  connect(&traces_, &TraceSwitches::TraceSwitched, &measurements_, measure);
  connect(&navigation_, &Navigation::SelectionChanged, &measurements_, measure);
  connect(&navigation_, &Navigation::ThresholdChanged, &measurements_, measure);
  connect(mnuViewMeasurements, &QAction::triggered, this, &frmMain::mnuViewMeasurements_Click);
  connect(&measurements_, &MeasurementPanel::PointChosen, this, &frmMain::tblPeaks_Click);
  // While the dock has the keyboard its keys are its own, as an entry box's.
  connect(&measurements_, &MeasurementPanel::FocusChanged, this, [this](bool in) { input_.SetKeyPreview(!in); });
  // A dock takes its room from the client area.
  layout_.WatchClientArea();

  connect(mnuViewCopy, &QAction::triggered, this, &frmMain::mnuViewCopy_Click);
  connect(mnuViewPeakPoint, &QAction::triggered, this, &frmMain::mnuViewPeakPoint_Click);
  connect(mnuViewFirstPoint, &QAction::triggered, this, &frmMain::mnuViewFirstPoint_Click);
  connect(mnuViewNextPoint, &QAction::triggered, this, &frmMain::mnuViewNextPoint_Click);
  connect(mnuViewPreviousPoint, &QAction::triggered, this, &frmMain::mnuViewPreviousPoint_Click);
  connect(mnuViewLastPoint, &QAction::triggered, this, &frmMain::mnuViewLastPoint_Click);
  connect(mnuViewCurPoint, &QAction::triggered, this, &frmMain::mnuViewCurPoint_Click);
  connect(mnuViewThreshold, &QAction::triggered, this, &frmMain::mnuViewThreshold_Click);
  for (int i = 0; i < 2; ++i)
    connect(mnuViewCursor[static_cast<std::size_t>(i)], &QAction::triggered, this,
            [this, i] { mnuViewCursor_Click(i); });
  connect(mnuViewCursors, &QAction::triggered, this, &frmMain::mnuViewCursors_Click);
  connect(mnuViewZoomCursors, &QAction::triggered, this, &frmMain::mnuViewZoomCursors_Click);

  // View menu items and the link commands forward to the toolbar's handler.
  const std::pair<QAction*, const char*> forwards[] = {
      {mnuViewSelect, "Select"},     {mnuViewZoomWin, "ZoomWin"}, {mnuViewZoomIn, "ZoomIn"},
      {mnuViewZoomOut, "ZoomOut"},   {mnuViewPan, "Pan"},         {mnuViewFitView, "ZoomFitView"},
      {mnuViewPrevious, "Previous"}, {mnuCommStopGo, "StopGo"},   {mnuCommSingleStep, "SingleStep"},
  };
  for (const auto& [item, key] : forwards) {
    const QString buttonKey = QString::fromLatin1(key);
    connect(item, &QAction::triggered, this, [this, buttonKey] { tbMain_ButtonClick(buttonKey); });
  }

  connect(tbMain, &forms::KeyedToolBar::ButtonClick, this, &frmMain::tbMain_ButtonClick);
  connect(tbMain, &forms::KeyedToolBar::ButtonMenuClick, this, &frmMain::tbMain_ButtonMenuClick);
  connect(tbMain, &forms::KeyedToolBar::MouseDown, this, &frmMain::tbMain_MouseDown);
  connect(tbCursors, &forms::KeyedToolBar::ButtonClick, this, &frmMain::tbCursors_ButtonClick);
  connect(comboPeakPoint, &QComboBox::currentIndexChanged, this, [this] { comboPeakPoint_Click(); });
  connect(sbStatus, &forms::KeyedStatusBar::PanelClick, this, &frmMain::sbStatus_PanelClick);
  connect(sbStatus, &forms::KeyedStatusBar::PanelDblClick, this, &frmMain::sbStatus_PanelDblClick);
  for (const EntryWiring& e : kEntryBoxes) {
    forms::EntryBox* box = this->*e.box;
    connect(box, &forms::EntryBox::GotFocus, this, e.GotFocus);
    connect(box, &forms::EntryBox::KeyPress, this, e.KeyPress);
    connect(box, &forms::EntryBox::KeyDown, this, e.KeyDown);
    connect(box, &forms::EntryBox::Validate, this, e.Validate);
    connect(box, &forms::EntryBox::LostFocus, this, e.LostFocus);
  }

  connect(timerStatus, &QTimer::timeout, this, &frmMain::timerStatus_Timer);
  connect(timerCoord, &QTimer::timeout, this, &frmMain::timerCoord_Timer);
  connect(timerConnection, &QTimer::timeout, this, &frmMain::timerConnection_Timer);

  // The modem directory.
  connect(mnuCommAdd, &QAction::triggered, this, &frmMain::mnuCommAdd_Click);
  connect(mnuCommManage, &QAction::triggered, this, &frmMain::mnuCommManage_Click);
  for (int i = 0; i < static_cast<int>(mnuCommSel.size()); ++i)
    connect(mnuCommSel[static_cast<std::size_t>(i)], &QAction::triggered, this, [this, i] { mnuCommSel_Click(i); });
  directory_.SetLink(cycle_);

  // The capture cycle, the update and the exports.
  connect(timerPoll, &QTimer::timeout, this, &frmMain::timerPoll_Timer);
  connect(cmdUpdate, &QPushButton::clicked, this, &frmMain::cmdUpdate_Click);
  connect(&cycle_, &CaptureCycle::DataSetShown, this, &frmMain::DataSetShown);
  connect(mnuFileRaw, &QAction::triggered, this, &frmMain::mnuFileRaw_Click);
  connect(mnuFileTransformed, &QAction::triggered, this, &frmMain::mnuFileTransformed_Click);
  connect(mnuFileScaled, &QAction::triggered, this, &frmMain::mnuFileScaled_Click);
  connect(mnuFilePeakHold, &QAction::triggered, this, &frmMain::mnuFilePeakHold_Click);
  connect(mnuFileVideoAverage, &QAction::triggered, this, &frmMain::mnuFileVideoAverage_Click);
  connect(mnuFileCsv, &QAction::triggered, this, &frmMain::mnuFileCsv_Click);
  connect(mnuFileSavePicture, &QAction::triggered, this, &frmMain::mnuFileSavePicture_Click);
  exports_.SetModemNameSource([this] { return directory_.LastModem(); });

  WireViewControls();
  WireHistory();
}

}  // namespace specterm
