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

class QObject;

namespace specterm {

struct FormControls;
struct PlotMarks;
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
  // The click has been handled.
  void EndClick() { mouse_.ClickButton = 0; }
  // After each data set: the reference location of the presets and the
  // entry fields.
  void SetReferenceLocation(float x, float y);
  // The plot was redrawn: the marker is on it only when the redraw drew it.
  void PlotRedrawn(const PlotMarks& marks);
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
  // Sends the window's key releases to Form_KeyUp while it previews keys;
  // owned by window.
  QObject* NewKeyPreview(QObject* window);
  // Sends presses on the window's bare client area to Form_MouseDown.
  QObject* NewFormMouse(QObject* window, QObject* clientArea);

  // ----- Commands -----
  // The view and mode keys of the main toolbar and its button menus; false
  // for keys that are not theirs.
  bool ViewButtonClick(const QString& key);
  bool ViewButtonMenuClick(const QString& buttonKey, const QString& menuKey);
  void mnuViewEnd_Click();
  void tbMain_MouseDown(int button, int shift, float x, float y);
  void tbCursors_ButtonClick(const QString& key);
  void comboPeakPoint_Click();
  void mnuViewPeakPoint_Click();
  void SetMoveButtons();
  void sbStatus_PanelDblClick(const QString& key);

 private:
  void LeaveZoomMode();
  void ShowSelectPointer();
  void ShowModePointer();
  void ShowPointerImage(int image);
  void ReleaseModeControls();
  void ShowViewPopup(bool fromPlot);
  void TakeReferenceLocation();
  void Escape();

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
};

}  // namespace specterm
