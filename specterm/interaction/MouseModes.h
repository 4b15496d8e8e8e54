#pragma once

// The plot's mouse modes: Select, Zoom Window, Zoom In, Zoom Out and Pan,
// entered and left from the toolbar and the View menu, with their pointers;
// what a press, a move, a release and a click do in each mode, the zoom
// gestures among them; the positioning of the threshold or a cursor armed
// for the next left click; the View menu as the plot's pop-up menu; and the
// toolbar's view commands: fit, previous and the two presets.

#include "forms/ImageList.h"
#include "interaction/InteractionState.h"

#include <QObject>
#include <QString>

class QAction;
class QMenu;

namespace specterm {

class Cursors;
class Navigation;
class PlotView;
struct ToolbarControls;
class Processing;
class StatusBarPresenter;
struct PlotBox;

// The controls the mouse modes drive: the View menu (also the plot's pop-up
// menu) with its mode items, the view commands forwarded to the toolbar's
// keys, the threshold positioning and the pop-up's own items, and the
// plot's pointer images. The mode buttons of the main toolbar carry the
// same commands.
struct ModeControls {
  QMenu* mnuView = nullptr;
  QAction* mnuViewSelect = nullptr;
  QAction* mnuViewZoomWin = nullptr;
  QAction* mnuViewZoomIn = nullptr;
  QAction* mnuViewZoomOut = nullptr;
  QAction* mnuViewPan = nullptr;
  QAction* mnuViewEnd = nullptr;
  QAction* mnuViewFitView = nullptr;
  QAction* mnuViewPrevious = nullptr;
  QAction* mnuViewThreshold = nullptr;
  // Shown only in the plot's pop-up menu.
  QAction* mnuViewSep1 = nullptr;
  QAction* mnuViewDone = nullptr;
  forms::ImageList imgCursors;
};

class MouseModes : public QObject {
  Q_OBJECT

 public:
  MouseModes(ModeControls& controls, ToolbarControls& toolbar, Navigation& navigation, Cursors& cursors,
             const Processing& spectrum, PlotView& view, StatusBarPresenter& status);

  const MouseState& Mouse() const { return mouse_; }

  // A press on the plot whose click has not been handled yet: the capture
  // steps wait while there is one.
  bool ClickPending() const { return mouse_.ClickButton != 0; }
  // The click has been handled (or no click follows the press).
  void EndClick();
  // A message box or a menu took the mouse while the button was held: the
  // click ends without its action and a gesture's figures go. The right
  // button's own pop-up is the exception: its click still ends as the
  // pop-up closes, but nothing waits on it meanwhile.
  void AbandonClick();

  // ----- The plot's mouse -----
  void MouseDown(int button, float x, float y);
  void MouseMove(int button, float x, float y);
  void MouseUp(int button);
  void Click();
  // A press on the window's bare client area.
  void FormMouseDown(int button);
  // The View menu, shown as the plot's pop-up, is closing.
  void ViewPopupClosing();
  // A left click at the selected location that ends at once, as the moves
  // make one.
  void ClickAtSelection();

  // ----- Modes and positioning -----
  // The view and mode keys of the main toolbar and its button menus; false
  // for keys that are not theirs.
  bool ViewButtonClick(const QString& key);
  bool ViewButtonMenuClick(const QString& menuKey);
  // Back to Select mode ("&End Zoom Mode").
  void LeaveZoomMode();
  // The presets about the selected location.
  void ApplyDbPreset(int index);
  void ApplySpanPreset(int index);
  // The next left click positions the threshold, or cursor 1 or 2.
  void ArmThreshold();
  void ArmCursor(int cursor);
  // Esc: leaves a zoom mode, else cancels an armed positioning.
  void Escape();
  // The background of the plot changed: a custom pointer is loaded again.
  void RenewPointer();

 signals:
  // A click has ended (a data set held back meanwhile may be shown).
  void ClickEnded();

 private:
  // A left click in Select mode: the pick, an armed positioning, the
  // read-outs.
  void SelectClick(float x, float y);
  void ShowSelectPointer();
  void ShowModePointer();
  void ShowPointerImage(int image);
  void ReleaseModeControls();
  void ShowViewPopup(bool fromPlot);
  // The zoom gestures: whether a button begins one in the present mode,
  // the rubber band following the pointer, and the zoom at the release.
  bool DragsWith(int button) const;
  void DragMove(float x, float y);
  void DragEnd(int button);
  void DragCancel();
  PlotBox ZoomInBox() const;
  PlotBox SeedBox() const;
  PlotBox OuterBox() const;

  ModeControls& c_;
  ToolbarControls& toolbar_;
  Navigation& navigation_;
  Cursors& cursors_;
  const Processing& spectrum_;
  PlotView& view_;
  StatusBarPresenter& status_;
  MouseState mouse_;
  // The right click whose pop-up is open.
  bool popupClick_ = false;
};

// The image of imgCursors that shows the pointer of a mouse mode.
int PointerImageFor(MouseMode mode);

}  // namespace specterm
