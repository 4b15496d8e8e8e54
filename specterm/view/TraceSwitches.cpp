#include "view/TraceSwitches.h"

#include "forms/KeyedToolBar.h"
#include "processing/Processing.h"
#include "view/PlotView.h"
#include "view/ToolbarControls.h"

#include <QAction>

#include <utility>

namespace specterm {
namespace {

struct TraceSwitchDesign {
  int row;
  QAction* TraceControls::*item;
  const char* button;
};

constexpr TraceSwitchDesign kSwitches[] = {
    {kTraceCurrent, &TraceControls::mnuToolsCurrentTrace, "CurrentTrace"},
    {kTracePeakHold, &TraceControls::mnuToolsPeakHold, "PeakHold"},
    {kTraceVideoAverage, &TraceControls::mnuToolsVideoAverage, "VideoAverage"},
    {kTracePrevious, &TraceControls::mnuToolsLastTrace, "LastTrace"},
};

const TraceSwitchDesign& DesignOf(int row) {
  for (const TraceSwitchDesign& d : kSwitches)
    if (d.row == row) return d;
  return kSwitches[0];
}

}  // namespace

TraceSwitches::TraceSwitches(TraceControls& controls, ToolbarControls& toolbar, Processing& spectrum, PlotView& view,
                             std::function<void()> processAgain)
    : c_(controls), toolbar_(toolbar), spectrum_(spectrum), view_(view), processAgain_(std::move(processAgain)) {}

// The item's check mark has already been toggled when this runs.
void TraceSwitches::Switch(int row) {
  const TraceSwitchDesign& design = DesignOf(row);
  const bool on = (c_.*design.item)->isChecked();
  toolbar_.tbMain->SetPressed(QString::fromLatin1(design.button), on);
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

bool TraceSwitches::ButtonClick(const QString& key) {
  for (const TraceSwitchDesign& d : kSwitches)
    if (key == QLatin1String(d.button)) {
      // The item's handler decides the button's state.
      (c_.*d.item)->trigger();
      return true;
    }
  return false;
}

void TraceSwitches::ApplyShown(int row, bool on) {
  const TraceSwitchDesign& design = DesignOf(row);
  (c_.*design.item)->setChecked(on);
  spectrum_.SetTraceShown(row, on);
  toolbar_.tbMain->SetPressed(QString::fromLatin1(design.button), on);
}

void TraceSwitches::ShowAccumulationTips(const QString& videoAverage, const QString& peakHold) {
  toolbar_.tbMain->SetToolTip(QStringLiteral("VideoAverage"), videoAverage);
  toolbar_.tbMain->SetToolTip(QStringLiteral("PeakHold"), peakHold);
}

}  // namespace specterm
