#pragma once

// The Tools menu's trace switches: each shows or hides one trace row and
// keeps its toolbar button and menu check in step with the row, and says so
// (TraceSwitched) before the plot is redrawn. Showing the previous trace
// first processes the samples at hand once more, so that it holds the
// current data set.

#include <QObject>

#include <functional>

namespace specterm {

struct FormControls;
struct Settings;
class PlotView;
class Processing;

class TraceSwitches : public QObject {
  Q_OBJECT

 public:
  TraceSwitches(FormControls& controls, Processing& spectrum, PlotView& view, std::function<void()> processAgain);

  void mnuToolsCurrentTrace_Click();
  void mnuToolsLastTrace_Click();
  void mnuToolsVideoAverage_Click();
  void mnuToolsPeakHold_Click();

  // The four switches as stored: menu checks, rows shown, buttons pressed.
  void ApplySettings(const Settings& settings);
  void CollectSettings(Settings& settings) const;

 signals:
  // A row was shown or hidden with its switch.
  void TraceSwitched(int row, bool on);

 private:
  void Switch(int row);

  FormControls& c_;
  Processing& spectrum_;
  PlotView& view_;
  std::function<void()> processAgain_;
};

}  // namespace specterm
