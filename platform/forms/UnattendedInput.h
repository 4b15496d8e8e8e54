#pragma once

// The user's mouse for unattended runs (a soak) on the offscreen platform,
// where no input device exists. With HALDEN_INPUT_SCRIPT naming a file,
// lines appended to it after the program started are read ten times a
// second, each a mouse event for a widget found by its object name:
//   press NAME BUTTON FX FY     BUTTON: left, middle or right
//   move NAME FX FY             with the buttons held so far
//   release NAME BUTTON FX FY
// FX and FY place the pointer as fractions of the widget's width and
// height. The events go to the widget's window as the window system would
// send them, so a window that a message box blocks does not get them, as a
// user's would not. Each line is noted in the unattended log ("input ...",
// or "input not played: ..." when there is no such widget on screen).

namespace forms {

// Starts reading the script when HALDEN_INPUT_SCRIPT is set; nothing
// otherwise. Called once, when the application object is made.
void StartUnattendedInput();

}  // namespace forms
