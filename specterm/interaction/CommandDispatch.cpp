// The main toolbar's dispatch, the move-type labels and the enabling of the
// point movement commands.

#include "forms/KeyedToolBar.h"
#include "interaction/ExportCommands.h"
#include "modems/frmMain.h"

#include <QAction>
#include <QComboBox>
#include <QSignalBlocker>

namespace specterm {
namespace {

// Labels of the point movement controls for moving by all points and by
// peak points.
struct MoveLabel {
  const char* button;
  const char* allPoints;
  const char* peakPoints;
};

constexpr MoveLabel kButtonLabels[] = {
    {"FirstPoint", "Go to First Point", "Go to Lowest Peak"},
    {"NextPoint", "Go to Next Point", "Go to Next Highest Peak"},
    {"PreviousPoint", "Go to Previous Point", "Go to Previous Highest Peak"},
    {"LastPoint", "Go to Last Point", "Go to Highest Peak"},
    {"CurPoint", "Go to Last Selected Point", "Go to Last Selected Peak"},
};

struct MenuLabel {
  QAction* frmMain::*item;
  const char* allPoints;
  const char* peakPoints;
};

const MenuLabel kMenuLabels[] = {
    {&frmMain::mnuViewFirstPoint, "Go to First (&Bottom) Point", "Go to Lowest (&Bottom) Peak"},
    {&frmMain::mnuViewNextPoint, "Go to &Next Point", "Go to &Next Highest Peak"},
    {&frmMain::mnuViewPreviousPoint, "Go to &Previous Point", "Go to &Previous Highest Peak"},
    {&frmMain::mnuViewLastPoint, "Go to Last (&Top) Point", "Go to Highest (&Top) Peak"},
    {&frmMain::mnuViewCurPoint, "Go to &Last Selected Point", "Go to &Last Selected Peak"},
    // This item names the mode that choosing it switches to.
    {&frmMain::mnuViewPeakPoint, "Select &Move by Peak Points", "Select &Move by All Points"},
};

struct TraceButton {
  const char* key;
  QAction* frmMain::*item;
};

const TraceButton kTraceButtons[] = {
    {"CurrentTrace", &frmMain::mnuToolsCurrentTrace},
    {"PeakHold", &frmMain::mnuToolsPeakHold},
    {"VideoAverage", &frmMain::mnuToolsVideoAverage},
    {"LastTrace", &frmMain::mnuToolsLastTrace},
};

}  // namespace

void frmMain::tbMain_ButtonClick(const QString& key) {
  for (const TraceButton& t : kTraceButtons)
    if (key == QLatin1String(t.key)) {
      // The menu item's handler decides the button's state.
      (this->*t.item)->trigger();
      return;
    }
  // Mouse modes and the view.
  if (ViewButtonClick(key)) return;
  // Link and export commands.
  if (key == QLatin1String("StopGo")) {
    StopGo();
  } else if (key == QLatin1String("SingleStep")) {
    SingleStep();
  } else if (key == QLatin1String("Export")) {
    // Repeats the last kind of export: the drop-down entry at its position.
    const QStringList entries = tbMain->ButtonMenuKeys(key);
    const qsizetype index = Export.LastExport >= 0 && Export.LastExport < entries.size() ? Export.LastExport : 0;
    if (!entries.isEmpty()) tbMain_ButtonMenuClick(key, entries[index]);
  }
}

void frmMain::tbMain_ButtonMenuClick(const QString& buttonKey, const QString& menuKey) {
  if (ViewButtonMenuClick(buttonKey, menuKey)) return;
  if (buttonKey == QLatin1String("Export")) RunExportMenuItem(*this, menuKey);
}

void frmMain::tbMain_MouseDown(int, int, float x, float y) {
  Commands.ToolbarPressX = x;
  Commands.ToolbarPressY = y;
}

void frmMain::tbCursors_ButtonClick(const QString&) {}

void frmMain::comboPeakPoint_Click() {
  Selection.MoveType = static_cast<std::int16_t>(comboPeakPoint->currentIndex() == 1 ? 1 : 0);
  const bool peaks = Selection.MoveType == 1;
  for (const MoveLabel& l : kButtonLabels)
    tbMain->SetToolTip(QString::fromLatin1(l.button), QString::fromLatin1(peaks ? l.peakPoints : l.allPoints));
  for (const MenuLabel& l : kMenuLabels)
    (this->*l.item)->setText(QString::fromLatin1(peaks ? l.peakPoints : l.allPoints));
}

void frmMain::mnuViewPeakPoint_Click() {
  Selection.MoveType = static_cast<std::int16_t>(Selection.MoveType == 0 ? 1 : 0);
  comboPeakPoint->setCurrentIndex(Selection.MoveType);
}

void frmMain::SetMoveButtons() {
  const bool enabled = Selection.SelectedTrace != -1 && Spectrum->Traces.HaveData;
  for (const char* key : {"FirstPoint", "NextPoint", "PreviousPoint", "LastPoint"})
    tbMain->SetEnabled(QString::fromLatin1(key), enabled);
  for (QAction* item : {mnuViewFirstPoint, mnuViewNextPoint, mnuViewPreviousPoint, mnuViewLastPoint})
    item->setEnabled(enabled);
}

}  // namespace specterm
