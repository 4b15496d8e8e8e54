#pragma once

// Opening a GUI program's application object. Without a display Qt would
// print several lines and abort; the program ends instead with one line on
// standard error ("<program>: cannot open its window: ...") and exit code 1.

#include <QApplication>

#include <memory>

namespace forms {

// Constructs the QApplication; returns only when the window system opened.
// The toolkit's messages while it opens are held back and passed on after,
// unless it fails.
std::unique_ptr<QApplication> OpenApplication(int& argc, char** argv, const char* program);

}  // namespace forms
