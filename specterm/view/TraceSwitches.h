#pragma once

// The Tools menu's trace switches: each shows or hides one trace row and
// keeps its toolbar button and menu check in step with the row, and says so
// (TraceSwitched) before the plot is redrawn. Showing the previous trace
// first processes the samples at hand once more, so that it holds the
// current data set. The tool tips of the accumulating rows' buttons count
// their data sets.

#include <QObject>
#include <QString>

#include <functional>

class QAction;
class QMenu;

namespace specterm {

class PlotView;
class Processing;
struct ToolbarControls;

// The Tools menu. The trace buttons of the main toolbar ("CurrentTrace",
// "PeakHold", "VideoAverage", "LastTrace") act through its items.
struct TraceControls {
  QMenu* mnuTools = nullptr;
  QAction* mnuToolsCurrentTrace = nullptr;
  QAction* mnuToolsLastTrace = nullptr;
  QAction* mnuToolsVideoAverage = nullptr;
  QAction* mnuToolsPeakHold = nullptr;
};

class TraceSwitches : public QObject {
  Q_OBJECT

 public:
  TraceSwitches(TraceControls& controls, ToolbarControls& toolbar, Processing& spectrum, PlotView& view,
                std::function<void()> processAgain);

  void mnuToolsCurrentTrace_Click();
  void mnuToolsLastTrace_Click();
  void mnuToolsVideoAverage_Click();
  void mnuToolsPeakHold_Click();
  // A trace button of the main toolbar runs its menu item; false for keys
  // that are not theirs.
  bool ButtonClick(const QString& key);

  // A row's switch as stored: menu check, row shown, button pressed.
  void ApplyShown(int row, bool on);
  // The tool tips of the accumulating rows' buttons.
  void ShowAccumulationTips(const QString& videoAverage, const QString& peakHold);

 signals:
  // A row was shown or hidden with its switch.
  void TraceSwitched(int row, bool on);

 private:
  void Switch(int row);

  TraceControls& c_;
  ToolbarControls& toolbar_;
  Processing& spectrum_;
  PlotView& view_;
  std::function<void()> processAgain_;
};

}  // namespace specterm
