#pragma once

// The main window's layout: the minimum size with its three messages, and
// the placement of the plot, its scroll bars, the status bar and the entry
// fields over the status bar and the cursor toolbar; the window's placement
// from the stored settings and its size and state as they are stored back.

#include "modems/Settings.h"

class QMainWindow;

namespace specterm {

class PlotView;
class StatusBarPresenter;
class Waterfall;
struct CursorControls;
struct CycleControls;
struct EntryControls;
struct PlotControls;
struct StatusControls;
struct ToolbarControls;
struct WaterfallControls;
struct WindowControls;

// The groups whose controls lie in the client area.
struct LayoutGroups {
  const WindowControls& window;
  const ToolbarControls& toolbar;
  const CursorControls& cursors;
  const PlotControls& plot;
  const StatusControls& status;
  const EntryControls& entries;
  const CycleControls& cycle;
};

class WindowLayout {
 public:
  WindowLayout(QMainWindow& window, const LayoutGroups& groups, PlotView& view, StatusBarPresenter& status);

  // The waterfall, whose share of the plot area the layout gives it while
  // it is shown.
  void SetWaterfall(Waterfall& waterfall, const WaterfallControls& controls);
  // Resizing lays the window out only from now on.
  void SetReady() { layoutReady_ = true; }
  void Form_Resize();
  // Lays the client area out again whenever it changes size while the
  // window keeps its own (a dock shown, hidden or resized).
  void WatchClientArea();
  // Puts the window where the settings say, on a screen that exists.
  void ApplyPlacement(const WindowPlacement& place);
  // The window state recorded by the last accepted resize.
  int SavedWindowState() const { return savedWindowState_; }
  // The window's edges and size as they are stored.
  WindowPlacement Placement() const;

 private:
  int WindowWidthTwips() const;
  int WindowHeightTwips() const;
  void SetWindowSizeTwips(int widthTwips, int heightTwips);
  void PlacePlotArea(int width, int height, int vScrollWidth, int hScrollHeight);
  void PlaceStatusFields();
  void PlaceCursorFields();

  QMainWindow& window_;
  LayoutGroups c_;
  PlotView& view_;
  StatusBarPresenter& status_;
  Waterfall* waterfall_ = nullptr;
  const WaterfallControls* waterfallControls_ = nullptr;
  int savedWindowState_ = 0;
  bool layoutReady_ = false;   // set while the window loads; resizing does nothing before
  bool refusingSize_ = false;  // a size refusal is being shown
  int settingBack_ = 0;        // a refused size is being set back
};

}  // namespace specterm
