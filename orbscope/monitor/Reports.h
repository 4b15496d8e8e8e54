#pragma once

// How the program tells the user something: a message box, or, when it runs
// without anyone to answer (writing a snapshot from a script), a line on
// standard error.

#include <QString>

class QWidget;
class WinException;

namespace orbscope {

// Shows a message box (forms::MsgBox styles and answers) or writes the line.
int Report(const QString& text, int style, const QString& caption, QWidget* parent = nullptr);

void SetReportsToStandardError(bool on);
bool ReportsToStandardError();

// An exception that escaped to the program entry: "%s, Error %d", caption
// "Exception".
void ReportException(const WinException& error);
// Any other exception: "Unknown", caption "Exception".
void ReportUnknownException();

}  // namespace orbscope
