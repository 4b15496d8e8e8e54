#pragma once

// The dispatcher of what the user does on the plot and with the keyboard:
// it keeps the design-named handlers of the plot's mouse, the view keys,
// the point, cursor and mode commands, and forwards each to the class that
// owns its behaviour:
//   Navigation   the selection, the point and peak moves, the threshold
//   MouseModes   the mouse modes with their pointers and the zoom gestures
//   Cursors      the two measurement cursors
// It keeps only where the main toolbar was pressed and whether the window
// previews key releases.

#include "interaction/InteractionState.h"

#include <QString>

class QObject;
class QWidget;

namespace specterm {

class Cursors;
class MouseModes;
class Navigation;
class PlotView;
struct ToolbarControls;

class Interaction {
 public:
  Interaction(Navigation& navigation, MouseModes& modes, Cursors& cursors, PlotView& view, ToolbarControls& toolbar);

  const CommandState& Commands() const { return commands_; }

  // ----- Keys -----
  void Form_KeyUp(int keyCode, int shift);
  // The window previews key releases (Form_KeyUp) while this is set.
  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool on) { keyPreview_ = on; }
  // Shows the main window each key release before the control that has the
  // focus (Form_KeyUp, while it previews keys), and lets the menu shortcuts
  // win over a text box's own editing keys; owned by window.
  QObject* NewKeyPreview(QWidget* window);
  // Sends presses on the window's bare client area to Form_MouseDown.
  QObject* NewFormMouse(QObject* window, QObject* clientArea);

  // ----- The plot's mouse -----
  void picSpectrum_MouseDown(int button, int shift, float x, float y);
  void picSpectrum_MouseMove(int button, int shift, float x, float y);
  void picSpectrum_MouseUp(int button, int shift, float x, float y);
  void picSpectrum_Click();
  void Form_MouseDown(int button, int shift, float x, float y);
  // The View menu, shown as the plot's pop-up, is closing.
  void ViewPopupClosing();
  // The click has been handled (or no click follows the press).
  void EndClick();
  // Another window took the mouse from a press on the plot.
  void AbandonClick();
  // A press on the plot whose click has not been handled yet.
  bool ClickPending() const;
  // A data set was processed: its reference location, and the point moves
  // that a spectrum makes possible.
  void NewDataSet(float referenceX, float referenceY);

  // ----- Commands -----
  // The "Go to" commands: a move, then a left click at the new location.
  void mnuViewFirstPoint_Click();
  void mnuViewNextPoint_Click();
  void mnuViewPreviousPoint_Click();
  void mnuViewLastPoint_Click();
  void mnuViewCurPoint_Click();
  void mnuViewPeakPoint_Click();
  void comboPeakPoint_Click();
  // Arms the threshold positioning: the next left click sets it.
  void mnuViewThreshold_Click();
  // Arms cursor 1 (index 0) or 2 for the next left click.
  void mnuViewCursor_Click(int index);
  void mnuViewCursors_Click();
  void mnuViewZoomCursors_Click();
  void mnuViewEnd_Click();
  // The presets about the selected location.
  void mnuViewDBB_Click(int index);
  void mnuViewFB_Click(int index);
  void tbMain_MouseDown(int button, int shift, float x, float y);
  void tbCursors_ButtonClick(const QString& key);
  void sbStatus_PanelDblClick(const QString& key);
  // The view and mode keys of the main toolbar and its button menus, and
  // its point buttons (the move, the click, and the pointer back on the
  // toolbar where the button was pressed); false for keys that are not
  // theirs.
  bool ViewButtonClick(const QString& key);
  bool ViewButtonMenuClick(const QString& menuKey);
  bool PointButtonClick(const QString& key);
  // A colour of a palette edited; a new background of the palette in use
  // reloads a custom pointer.
  void EditPaletteColor(int palette, int slot);
  // A left click at the selected location that ends at once, as the moves
  // make one.
  void ClickAtSelectedLocation();

 private:
  // A move of the selection, then a left click at the new location.
  void MoveAndClick(void (Navigation::*move)());
  // An arrow key: the selected location moves that many pan steps (and the
  // view with it when pan is set, or when it leaves the view).
  void StepLocation(int keyCode, float steps, bool pan);
  // A point move of the letter keys, while the point moves are possible.
  void MoveIfPossible(void (Navigation::*move)());
  // Pans the view one step and puts the pointer back on the location.
  void PanWithLocation(int keyCode);
  void ReturnPointerToToolbar();

  Navigation& navigation_;
  MouseModes& modes_;
  Cursors& cursors_;
  PlotView& view_;
  ToolbarControls& toolbar_;
  CommandState commands_;
  bool keyPreview_ = true;
};

}  // namespace specterm
