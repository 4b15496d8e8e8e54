// The Tools menu's trace switches: each shows or hides one trace row, keeps
// its toolbar button in step and forgets a last selection on a hidden row.

#include "forms/KeyedToolBar.h"
#include "modems/frmMain.h"

#include <QAction>

namespace specterm {
namespace {

struct TraceSwitch {
  int row;
  const char* button;
};

// The item's check mark has already been toggled when this runs. Showing
// the previous trace first runs the update once more on the samples at
// hand, so that it holds the current data set.
void ApplyTraceSwitch(frmMain& form, QAction* item, const TraceSwitch& sw) {
  const bool on = item->isChecked();
  form.tbMain->SetPressed(QString::fromLatin1(sw.button), on);
  // Before the first data set there is nothing to process again.
  if (on && sw.row == kTracePrevious && form.Spectrum->Traces.HaveData) form.cmdUpdate_Click();
  form.Spectrum->Traces.ToolsCommand(static_cast<TraceRow>(sw.row), on, form.Selection.LastSelectedTrace,
                                     form.Selection.LastSelectedPoint);
}

}  // namespace

void frmMain::mnuToolsCurrentTrace_Click() {
  ApplyTraceSwitch(*this, mnuToolsCurrentTrace, {kTraceCurrent, "CurrentTrace"});
  SetMoveButtons();
  UpdateView();
}

void frmMain::mnuToolsLastTrace_Click() {
  ApplyTraceSwitch(*this, mnuToolsLastTrace, {kTracePrevious, "LastTrace"});
  SetMoveButtons();
  UpdateView();
}

void frmMain::mnuToolsVideoAverage_Click() {
  ApplyTraceSwitch(*this, mnuToolsVideoAverage, {kTraceVideoAverage, "VideoAverage"});
  UpdateView();
  SetMoveButtons();
}

void frmMain::mnuToolsPeakHold_Click() {
  ApplyTraceSwitch(*this, mnuToolsPeakHold, {kTracePeakHold, "PeakHold"});
  UpdateView();
  SetMoveButtons();
}

}  // namespace specterm
