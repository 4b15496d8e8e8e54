#pragma once

// The Tools menu's trace switches: each shows or hides one trace row, keeps
// its toolbar button and menu check in step with the row, and forgets a last
// selection on a hidden row. Showing the previous trace first processes the
// samples at hand once more, so that it holds the current data set.

#include <functional>

namespace specterm {

struct FormControls;
struct Settings;
class Interaction;
class PlotView;
class Processing;

class TraceSwitches {
 public:
  TraceSwitches(FormControls& controls, Processing& spectrum, Interaction& input, PlotView& view,
                std::function<void()> processAgain);

  void mnuToolsCurrentTrace_Click();
  void mnuToolsLastTrace_Click();
  void mnuToolsVideoAverage_Click();
  void mnuToolsPeakHold_Click();

  // The four switches as stored: menu checks, rows shown, buttons pressed.
  void ApplySettings(const Settings& settings);
  void CollectSettings(Settings& settings) const;

 private:
  void Switch(int row);

  FormControls& c_;
  Processing& spectrum_;
  Interaction& input_;
  PlotView& view_;
  std::function<void()> processAgain_;
};

}  // namespace specterm
