#pragma once

// The analyzer's main window: a thin form. It holds every control under its
// name, in the groups of the subsystems that drive them, and one object per
// subsystem; its event handlers keep their names and forward to the object
// that owns the behaviour:
//   StatusBarPresenter  the status bar's notices, read-outs and images
//   Processing          band, amplitude scale, samples and trace store
//   PlotView            view window, presets, scroll bars, palettes, drawing
//   PictureSaver        the plot region saved as a picture with a caption
//   Navigation          selection, point and peak moves, threshold
//   Cursors             the two measurement cursors
//   MouseModes          mouse modes, pointers and the zoom gestures
//   Interaction         the dispatcher of the plot's mouse and the view keys
//   EntryFields         the point, frequency, amplitude and threshold boxes
//   TraceSwitches       the Tools menu's trace rows
//   MeasurementPanel    the "Measurements" dock
//   ExportCommands      the data-set exports
//   Waterfall           the history of data sets under the plot
//   Recorder            the recording of the modem's data sets
//   ModemDirectory      the modem directory, the recent menu, the title
//   KeyboardHelp        the list of every key and mouse action (Help menu)
//   WindowLayout        minimum size, placement and the controls' layout
//   CaptureCycle        the window's side of the modem link and the update
//   Replay              a recording replayed in place of the modem
//
// A new subsystem is a member here, made after those it uses (in the
// constructor in window/FormDesign.cpp), given its control group and the
// subsystems it needs; it follows the others through their signals
// (CaptureCycle::DataSetUpdated, CaptureCycle::BlockArrived,
// Cursors::CursorsChanged, Navigation::SelectionChanged,
// TraceSwitches::TraceSwitched), connected in window/ControlWiring.cpp.

#include "interaction/Cursors.h"
#include "interaction/EntryFields.h"
#include "interaction/ExportCommands.h"
#include "interaction/Interaction.h"
#include "interaction/KeyboardHelp.h"
#include "interaction/MouseModes.h"
#include "interaction/Navigation.h"
#include "interaction/Recorder.h"
#include "modems/ModemDirectory.h"
#include "processing/Processing.h"
#include "view/MeasurementPanel.h"
#include "view/PictureSaver.h"
#include "view/PlotView.h"
#include "view/StatusBarPresenter.h"
#include "view/ToolbarControls.h"
#include "view/TraceSwitches.h"
#include "view/Waterfall.h"
#include "window/CaptureCycle.h"
#include "window/Replay.h"
#include "window/WindowControls.h"
#include "window/WindowLayout.h"

#include <QMainWindow>

namespace specterm {

struct Settings;

class frmMain : public QMainWindow,
                public WindowControls,
                public ToolbarControls,
                public PlotControls,
                public StatusControls,
                public TraceControls,
                public NavigationControls,
                public CursorControls,
                public ModeControls,
                public EntryControls,
                public ExportControls,
                public ModemMenuControls,
                public CycleControls,
                public MeasurementControls,
                public WaterfallControls,
                public RecorderControls,
                public ReplayControls,
                public HelpControls,
                public PictureControls {
  Q_OBJECT

 public:
  explicit frmMain(QWidget* parent = nullptr);
  ~frmMain() override;

  // Loads settings and the modem directory, shows the window and, when a
  // modem is remembered with updates running, arms the first connection.
  // False, with the window not shown, when the modem asked for on the
  // command line cannot be found (StartModemError).
  bool Form_Load();
  // The modem to start on instead of the remembered one (before Form_Load).
  void SetStartModem(const StartModemRequest& request) { directory_.SetStartRequest(request); }
  const std::string& StartModemError() const { return directory_.StartError(); }

  // ----- The subsystems -----
  CaptureCycle& Cycle() { return cycle_; }
  const CaptureCycle& Cycle() const { return cycle_; }
  Processing& Spectrum() { return spectrum_; }
  const Processing& Spectrum() const { return spectrum_; }
  PictureSaver& Pictures() { return pictures_; }
  PlotView& View() { return view_; }
  const PlotView& View() const { return view_; }
  Navigation& Navigator() { return navigation_; }
  const Navigation& Navigator() const { return navigation_; }
  MouseModes& Modes() { return modes_; }
  const MouseModes& Modes() const { return modes_; }
  Cursors& CursorPair() { return cursors_; }
  const Cursors& CursorPair() const { return cursors_; }
  Interaction& Input() { return input_; }
  const Interaction& Input() const { return input_; }
  EntryFields& Entries() { return entries_; }
  const EntryFields& Entries() const { return entries_; }
  TraceSwitches& Traces() { return traces_; }
  const TraceSwitches& Traces() const { return traces_; }
  MeasurementPanel& Measurer() { return measurements_; }
  const MeasurementPanel& Measurer() const { return measurements_; }
  ExportCommands& Exports() { return exports_; }
  const ExportCommands& Exports() const { return exports_; }
  KeyboardHelp& KeysHelp() { return keysHelp_; }
  ModemDirectory& Directory() { return directory_; }
  const ModemDirectory& Directory() const { return directory_; }
  StatusBarPresenter& Status() { return status_; }
  const StatusBarPresenter& Status() const { return status_; }
  WindowLayout& Layout() { return layout_; }
  const WindowLayout& Layout() const { return layout_; }
  Waterfall& WaterfallView() { return waterfall_; }
  const Waterfall& WaterfallView() const { return waterfall_; }
  Recorder& DataSetRecorder() { return recorder_; }
  const Recorder& DataSetRecorder() const { return recorder_; }
  Replay& RecordingReplay() { return replay_; }
  const Replay& RecordingReplay() const { return replay_; }

  // ----- Event handlers -----
  void Form_Unload();
  void Form_Resize() { layout_.Form_Resize(); }
  void Form_KeyUp(int keyCode, int shift) { input_.Form_KeyUp(keyCode, shift); }
  void Form_MouseDown(int button, int shift, float x, float y) { input_.Form_MouseDown(button, shift, x, y); }
  void mnuFileExit_Click();
  void mnuHelpAbout_Click();
  void mnuHelpKeys_Click() { keysHelp_.mnuHelpKeys_Click(); }
  void tbMain_ButtonClick(const QString& key);
  void tbMain_ButtonMenuClick(const QString& buttonKey, const QString& menuKey);
  void tbMain_MouseDown(int button, int shift, float x, float y) { input_.tbMain_MouseDown(button, shift, x, y); }
  void tbCursors_ButtonClick(const QString& key) { input_.tbCursors_ButtonClick(key); }
  void picSpectrum_MouseDown(int button, int shift, float x, float y) {
    input_.picSpectrum_MouseDown(button, shift, x, y);
  }
  void picSpectrum_MouseMove(int button, int shift, float x, float y) {
    input_.picSpectrum_MouseMove(button, shift, x, y);
  }
  void picSpectrum_MouseUp(int button, int shift, float x, float y) { input_.picSpectrum_MouseUp(button, shift, x, y); }
  void picSpectrum_Click() { input_.picSpectrum_Click(); }
  void sbStatus_PanelClick(const QString& key) { entries_.sbStatus_PanelClick(key); }
  void sbStatus_PanelDblClick(const QString& key) { input_.sbStatus_PanelDblClick(key); }
  void txtPoint_GotFocus() { entries_.txtPoint_GotFocus(); }
  void txtPoint_KeyPress(int& KeyAscii) { entries_.txtPoint_KeyPress(KeyAscii); }
  void txtPoint_KeyDown(int& KeyCode, int Shift) { entries_.txtPoint_KeyDown(KeyCode, Shift); }
  void txtPoint_Validate(bool& Cancel) { entries_.txtPoint_Validate(Cancel); }
  void txtPoint_LostFocus() { entries_.txtPoint_LostFocus(); }
  void txtFreq_GotFocus() { entries_.txtFreq_GotFocus(); }
  void txtFreq_KeyPress(int& KeyAscii) { entries_.txtFreq_KeyPress(KeyAscii); }
  void txtFreq_KeyDown(int& KeyCode, int Shift) { entries_.txtFreq_KeyDown(KeyCode, Shift); }
  void txtFreq_Validate(bool& Cancel) { entries_.txtFreq_Validate(Cancel); }
  void txtFreq_LostFocus() { entries_.txtFreq_LostFocus(); }
  void txtAmp_GotFocus() { entries_.txtAmp_GotFocus(); }
  void txtAmp_KeyPress(int& KeyAscii) { entries_.txtAmp_KeyPress(KeyAscii); }
  void txtAmp_KeyDown(int& KeyCode, int Shift) { entries_.txtAmp_KeyDown(KeyCode, Shift); }
  void txtAmp_Validate(bool& Cancel) { entries_.txtAmp_Validate(Cancel); }
  void txtAmp_LostFocus() { entries_.txtAmp_LostFocus(); }
  void txtThreshold_GotFocus() { entries_.txtThreshold_GotFocus(); }
  void txtThreshold_KeyPress(int& KeyAscii) { entries_.txtThreshold_KeyPress(KeyAscii); }
  void txtThreshold_KeyDown(int& KeyCode, int Shift) { entries_.txtThreshold_KeyDown(KeyCode, Shift); }
  void txtThreshold_Validate(bool& Cancel) { entries_.txtThreshold_Validate(Cancel); }
  void txtThreshold_LostFocus() { entries_.txtThreshold_LostFocus(); }
  void comboPeakPoint_Click() { input_.comboPeakPoint_Click(); }
  void mnuViewPeakPoint_Click() { input_.mnuViewPeakPoint_Click(); }
  void mnuViewEnd_Click() { input_.mnuViewEnd_Click(); }
  void mnuViewFirstPoint_Click() { input_.mnuViewFirstPoint_Click(); }
  void mnuViewNextPoint_Click() { input_.mnuViewNextPoint_Click(); }
  void mnuViewPreviousPoint_Click() { input_.mnuViewPreviousPoint_Click(); }
  void mnuViewLastPoint_Click() { input_.mnuViewLastPoint_Click(); }
  void mnuViewCurPoint_Click() { input_.mnuViewCurPoint_Click(); }
  void mnuViewThreshold_Click() { input_.mnuViewThreshold_Click(); }
  void mnuViewCursor_Click(int index) { input_.mnuViewCursor_Click(index); }
  void mnuViewCursors_Click() { input_.mnuViewCursors_Click(); }
  void mnuViewZoomCursors_Click() { input_.mnuViewZoomCursors_Click(); }
  void mnuViewDBB_Click(int index) { input_.mnuViewDBB_Click(index); }
  void mnuViewFB_Click(int index) { input_.mnuViewFB_Click(index); }
  void mnuViewCopy_Click() { view_.mnuViewCopy_Click(); }
  void mnuFileSavePicture_Click() { pictures_.mnuFileSavePicture_Click(); }
  void mnuOptionsPalette_Click(int index) { view_.mnuOptionsPalette_Click(index); }
  void mnuToolsCurrentTrace_Click() { traces_.mnuToolsCurrentTrace_Click(); }
  void mnuToolsLastTrace_Click() { traces_.mnuToolsLastTrace_Click(); }
  void mnuToolsVideoAverage_Click() { traces_.mnuToolsVideoAverage_Click(); }
  void mnuToolsPeakHold_Click() { traces_.mnuToolsPeakHold_Click(); }
  void mnuViewMeasurements_Click() { measurements_.mnuViewMeasurements_Click(); }
  void tblPeaks_Click(std::int32_t point) { entries_.GoToPoint(point, true); }
  void mnuFileRaw_Click() { exports_.mnuFileRaw_Click(); }
  void mnuFileTransformed_Click() { exports_.mnuFileTransformed_Click(); }
  void mnuFileScaled_Click() { exports_.mnuFileScaled_Click(); }
  void mnuFilePeakHold_Click() { exports_.mnuFilePeakHold_Click(); }
  void mnuFileVideoAverage_Click() { exports_.mnuFileVideoAverage_Click(); }
  void mnuFileCsv_Click() { exports_.mnuFileCsv_Click(); }
  void hScroll_Change() { view_.hScroll_Change(); }
  void hScroll_Scroll() { view_.hScroll_Scroll(); }
  void vScroll_Change() { view_.vScroll_Change(); }
  void vScroll_Scroll() { view_.vScroll_Scroll(); }
  void timerPoll_Timer() { cycle_.timerPoll_Timer(); }
  void timerConnection_Timer() { cycle_.timerConnection_Timer(); }
  void timerStatus_Timer() { status_.timerStatus_Timer(); }
  void timerCoord_Timer() { navigation_.timerCoord_Timer(); }
  void cmdUpdate_Click() { cycle_.cmdUpdate_Click(); }
  void mnuCommAdd_Click() { directory_.mnuCommAdd_Click(); }
  void mnuCommManage_Click() { directory_.mnuCommManage_Click(); }
  void mnuCommSel_Click(int Index) { directory_.mnuCommSel_Click(Index); }
  void mnuViewWaterfall_Click() { waterfall_.mnuViewWaterfall_Click(); }
  void mnuFileRecord_Click() { recorder_.mnuFileRecord_Click(); }
  void mnuFileOpenRecording_Click() { replay_.mnuFileOpenRecording_Click(); }

 signals:
  // A data set from the modem has been drawn; count since start-up.
  void DataSetShown(int count);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // The form's design (window/FormDesign.cpp, window/ToolbarDesign.cpp).
  void BuildMenus();
  void BuildToolbars();
  void BuildControls();
  // Connects every control to its handler and the subsystems to each other
  // (window/ControlWiring.cpp, window/ViewWiring.cpp).
  void WireControls();
  void WireViewControls();
  // The waterfall, the recorder and the replay (window/HistoryDesign.cpp).
  void BuildHistoryControls();
  void WireHistory();
  // Everything the settings decide, handed to the subsystems that own it.
  void ApplySettings(const Settings& settings);
  Settings CollectSettings() const;

  // Declared in the order they are made; each may refer to those after it
  // only once the window is built.
  StatusBarPresenter status_;
  Processing spectrum_;
  PlotView view_;
  PictureSaver pictures_;
  Navigation navigation_;
  Cursors cursors_;
  MouseModes modes_;
  Interaction input_;
  EntryFields entries_;
  TraceSwitches traces_;
  MeasurementPanel measurements_;
  ExportCommands exports_;
  Waterfall waterfall_;
  Recorder recorder_;
  KeyboardHelp keysHelp_;
  ModemDirectory directory_;
  WindowLayout layout_;
  CaptureCycle cycle_;
  Replay replay_;
  bool unloaded_ = false;
};

}  // namespace specterm
