#pragma once

// Helpers of the plot's mouse modes and the view keys that the main window's
// wiring installs: the key preview, the right button on the window, the
// View menu as the plot's pop-up menu, and the mode state of the controls.

class QObject;

namespace specterm {

class frmMain;

// Sends the window's key releases to Form_KeyUp while it previews keys.
QObject* NewKeyPreview(frmMain& form);
// Sends presses on the window's bare client area to Form_MouseDown.
QObject* NewFormMouse(frmMain& form);

// Shows the View menu at the pointer; from the plot it also offers "&Done".
void ShowViewPopup(frmMain& form, bool fromPlot);
// The View menu is closing: a pop-up shown from the plot ends as the right
// click that opened it.
void ViewPopupClosing(frmMain& form);

// Back to Select mode: mode buttons released, their items unchecked, "&End
// Zoom Mode" disabled, and the pointer of Select mode (or of a positioning
// that is armed).
void LeaveZoomMode(frmMain& form);
// The pointer of Select mode: the threshold or cursor icon while that
// positioning is armed, else the cross.
void ShowSelectPointer(frmMain& form);

}  // namespace specterm
