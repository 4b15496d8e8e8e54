#pragma once

// What the user does on the plot and with the keyboard: the selection and
// the move type, the mouse modes with their pointers and what a click does
// in each, the view keys, the two cursors, where the main toolbar was
// pressed, and the entry fields' state. The options of this subsystem (snap
// to the nearest point, the selection panel, the cursor display) are read
// here; their menu items carry them.

#include "interaction/InteractionState.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <span>

class QObject;
class QWidget;

namespace specterm {

struct FormControls;
struct PlotBox;
struct Settings;
class PlotView;
class Processing;
class StatusBarPresenter;

class Interaction {
 public:
  Interaction(FormControls& controls, Processing& spectrum, PlotView& view, StatusBarPresenter& status);

  // ----- State for the other subsystems -----
  const SelectionState& Selection() const { return selection_; }
  const MouseState& Mouse() const { return mouse_; }
  const CursorState& Cursors() const { return cursors_; }
  const CommandState& Commands() const { return commands_; }

  bool SnapToPoint() const;
  bool SelectionPanelOn() const;
  bool CursorDisplay() const;

  // A press on the plot whose click has not been handled yet: the capture
  // steps wait while there is one.
  bool ClickPending() const { return mouse_.ClickButton != 0; }
  // The click has been handled (or no click follows the press).
  void EndClick();
  // After each data set: the reference location of the presets and the
  // entry fields.
  void SetReferenceLocation(float x, float y);
  // A trace row was shown or hidden with the Tools menu.
  void TraceSwitched(int row, bool on);

  // ----- Settings -----
  void ApplySettings(const Settings& settings);
  void CollectSettings(Settings& settings) const;

  // ----- The plot's mouse -----
  void picSpectrum_MouseDown(int button, int shift, float x, float y);
  void picSpectrum_MouseMove(int button, int shift, float x, float y);
  void picSpectrum_MouseUp(int button, int shift, float x, float y);
  void picSpectrum_Click();
  void Form_MouseDown(int button, int shift, float x, float y);
  // The View menu, shown as the plot's pop-up, is closing.
  void ViewPopupClosing();

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

  // ----- Point and peak navigation -----
  // The moves need a trace row and a computed spectrum.
  bool MovesPossible() const;
  void MoveFirstPoint();
  void MoveNextPoint();
  void MovePreviousPoint();
  void MoveLastPoint();
  void MoveSpecificPoint(std::int32_t point);
  // Puts the selected location on the last selected point; the simulated
  // click that follows picks it.
  void MoveCurPoint();
  // The location from the frequency box (the amplitude read-out kept), or
  // from the amplitude box (the frequency read-out kept).
  void MoveSpecificLocationX();
  void MoveSpecificLocationY();
  // Picks the data point at a plot location; on success x and y become the
  // point's coordinates.
  void GetNearestPoint(float& x, float& y);
  // The "Go to" commands: a move, then a left click at the new location.
  void mnuViewFirstPoint_Click();
  void mnuViewNextPoint_Click();
  void mnuViewPreviousPoint_Click();
  void mnuViewLastPoint_Click();
  void mnuViewCurPoint_Click();
  // Arms the threshold positioning: the next left click sets it.
  void mnuViewThreshold_Click();
  // A left click at the selected location that ends at once, as the moves
  // make one; and the threshold typed into its box.
  void ClickAtSelectedLocation() { ClickAtSelection(); }
  void SetMinPeakThreshold(float dB);
  // The point buttons of the main toolbar: the move, the click, and the
  // pointer back on the toolbar where the button was pressed.
  bool PointButtonClick(const QString& key);
  // Shows a data set that arrived while a mouse button was held, once the
  // click has ended.
  void SetClickEndedHandler(std::function<void()> handler) { clickEnded_ = std::move(handler); }

  // ----- Cursors -----
  // Arms cursor 1 (index 0) or 2 for the next left click.
  void mnuViewCursor_Click(int index);
  // The display switch has been toggled.
  void mnuViewCursors_Click();
  void mnuViewZoomCursors_Click();

  // ----- Commands -----
  // The view and mode keys of the main toolbar and its button menus; false
  // for keys that are not theirs.
  bool ViewButtonClick(const QString& key);
  bool ViewButtonMenuClick(const QString& buttonKey, const QString& menuKey);
  void mnuViewEnd_Click();
  // The presets about the selected location.
  void mnuViewDBB_Click(int index);
  void mnuViewFB_Click(int index);
  // A colour of a palette edited; a new background of the palette in use
  // reloads a custom pointer.
  void EditPaletteColor(int palette, int slot);
  void tbMain_MouseDown(int button, int shift, float x, float y);
  void tbCursors_ButtonClick(const QString& key);
  void comboPeakPoint_Click();
  void mnuViewPeakPoint_Click();
  void SetMoveButtons();
  void sbStatus_PanelDblClick(const QString& key);

 private:
  // A move to a point of the selected row, in the common order: record the
  // selection left, select, bring into view, move the marker and the
  // pointer.
  void MoveTo(std::int32_t target);
  // Centres a zoomed-in view on a selected location that left it, or beeps.
  void BringIntoView(bool hideMarker);
  // The marker as the selection says.
  void ShowMarker();
  // The plot x and y (the negated amplitude) of a point of a row.
  float PointX(int row, std::int32_t point) const;
  float PointY(int row, std::int32_t point) const;
  std::span<const float> RowAmplitudes(int row) const;
  // A left click at the selected location, as the moves make one.
  void ClickAtSelection();
  void SelectClick(float x, float y);
  // Places cursor 1 or 2 at a plot location.
  void PlaceCursor(int cursor, float x, float y);
  void ShowCursorLines();
  void ShowCursorReadouts(int cursor);
  // "&Zoom to Fit Cursors" is there only with both cursors placed and shown.
  void ShowZoomCursorsState();
  void ShowSelectionPanel(float x, float y, const QString& text);
  void ReturnPointerToToolbar();
  void LeaveZoomMode();
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
  PlotBox ZoomInBox() const;
  PlotBox SeedBox() const;
  PlotBox OuterBox() const;
  void TakeReferenceLocation();
  void Escape();
  // Pans the view one step and puts the pointer back on the location.
  void PanWithLocation(int keyCode);
  // N, P, B, T and L without Ctrl or Alt.
  void LetterCommand(int keyCode, int shift);

  FormControls& c_;
  Processing& spectrum_;
  PlotView& view_;
  StatusBarPresenter& status_;
  SelectionState selection_;
  MouseState mouse_;
  CursorState cursors_;
  CommandState commands_;
  EntryState entry_;
  bool keyPreview_ = true;
  // The reference location the selected location last followed.
  float followedX_ = 0;
  float followedY_ = 0;
  std::function<void()> clickEnded_;
};

}  // namespace specterm
