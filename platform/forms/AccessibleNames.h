#pragma once

// Accessible names for every control, so that screen readers and UI
// automation find each one by what the user sees: a control that Qt's
// accessibility layer leaves nameless (an icon-only tool button, a text box,
// a scroll bar with a tool tip) is named after its tool tip, else its
// caption. A name taken from a tool tip follows the tool tip when the program
// changes it; a name the program sets itself is never touched.

class QWidget;

namespace forms {

// Names root and every widget below it that lacks a name.
void NameControls(QWidget* root);

// Names every widget of the application as it is first shown (windows and
// dialogs alike, including those built later) and keeps names taken from
// tool tips up to date. Call once, after the QApplication exists.
void KeepControlsNamed();

}  // namespace forms
