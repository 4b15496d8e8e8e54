#include "view/TraceSwitches.h"

#include "forms/KeyedToolBar.h"
#include "modems/Settings.h"
#include "processing/Processing.h"
#include "view/PlotView.h"
#include "window/FormControls.h"

#include <QAction>

#include <utility>

namespace specterm {
namespace {

struct TraceSwitchDesign {
  int row;
  QAction* FormControls::*item;
  const char* button;
  bool Settings::*stored;
};

// In the order the settings apply them: current, peak hold, video average,
// previous.
constexpr TraceSwitchDesign kSwitches[] = {
    {kTraceCurrent, &FormControls::mnuToolsCurrentTrace, "CurrentTrace", &Settings::CurrentTrace},
    {kTracePeakHold, &FormControls::mnuToolsPeakHold, "PeakHold", &Settings::PeakHold},
    {kTraceVideoAverage, &FormControls::mnuToolsVideoAverage, "VideoAverage", &Settings::VideoAverage},
    {kTracePrevious, &FormControls::mnuToolsLastTrace, "LastTrace", &Settings::LastTrace},
};

const TraceSwitchDesign& DesignOf(int row) {
  for (const TraceSwitchDesign& d : kSwitches)
    if (d.row == row) return d;
  return kSwitches[0];
}

}  // namespace

TraceSwitches::TraceSwitches(FormControls& controls, Processing& spectrum, PlotView& view,
                             std::function<void()> processAgain)
    : c_(controls), spectrum_(spectrum), view_(view), processAgain_(std::move(processAgain)) {}

// The item's check mark has already been toggled when this runs.
void TraceSwitches::Switch(int row) {
  const TraceSwitchDesign& design = DesignOf(row);
  const bool on = (c_.*design.item)->isChecked();
  c_.tbMain->SetPressed(QString::fromLatin1(design.button), on);
  // The samples at hand are processed once more, before the first data set
  // too (they are the start-up samples then).
  if (on && row == kTracePrevious && processAgain_) processAgain_();
  spectrum_.SwitchTrace(static_cast<TraceRow>(row), on);
  emit TraceSwitched(row, on);
  view_.UpdateView();
}

void TraceSwitches::mnuToolsCurrentTrace_Click() { Switch(kTraceCurrent); }

void TraceSwitches::mnuToolsLastTrace_Click() { Switch(kTracePrevious); }

void TraceSwitches::mnuToolsVideoAverage_Click() { Switch(kTraceVideoAverage); }

void TraceSwitches::mnuToolsPeakHold_Click() { Switch(kTracePeakHold); }

void TraceSwitches::ApplySettings(const Settings& settings) {
  for (const TraceSwitchDesign& d : kSwitches) {
    const bool on = settings.*d.stored;
    (c_.*d.item)->setChecked(on);
    spectrum_.SetTraceShown(d.row, on);
    c_.tbMain->SetPressed(QString::fromLatin1(d.button), on);
  }
}

void TraceSwitches::CollectSettings(Settings& settings) const {
  for (const TraceSwitchDesign& d : kSwitches) settings.*d.stored = spectrum_.TraceShown(d.row);
}

}  // namespace specterm
