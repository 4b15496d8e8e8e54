#pragma once

// The analyzer's own pictures, drawn at start-up: toolbar images, the link
// status images, the cursor toolbar's images, the plot's mouse pointers and
// the program icon.

#include "forms/ImageList.h"

#include <QIcon>

namespace specterm {

// Status images of the main toolbar's list.
inline constexpr int kImageConnected = 7;
inline constexpr int kImageReading = 8;
inline constexpr int kImageNotCommunicating = 9;

// Pointer images of imgCursors.
inline constexpr int kPointerZoomWindow = 1;
inline constexpr int kPointerZoomIn = 2;
inline constexpr int kPointerZoomOut = 3;
inline constexpr int kPointerPan = 5;
inline constexpr int kPointerCursor1 = 6;
inline constexpr int kPointerCursor2 = 7;
inline constexpr const char* kPointerPeakThreshold = "PeakThreshold";

// One image per main toolbar button, keyed by the button's key, with the
// three status images at 7, 8 and 9.
void BuildToolbarImages(forms::ImageList& list);
// "Cursor1", "Cursor2", "CursorDelta".
void BuildCursorBarImages(forms::ImageList& list);
// The plot's pointers at the indices above.
void BuildPointerImages(forms::ImageList& list);

QIcon ProgramIcon();

}  // namespace specterm
