#pragma once

// The entries of the "Export" toolbar button's drop-down ("Raw",
// "Transformed", "TranScaled", "PeakHold", "VideoAverage") run the export
// commands of the File menu.

#include <QString>

namespace specterm {

class frmMain;

// Runs the export of a drop-down entry; false for a key that is not one.
bool RunExportMenuItem(frmMain& form, const QString& menuKey);

}  // namespace specterm
