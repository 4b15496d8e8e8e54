#pragma once

// The plot's two flat scroll bars: a style that shows an arrow as disabled
// (greyed, clicks on it do nothing) when the bar says so.

#include "view/ViewState.h"

class QObject;
class QScrollBar;
class QStyle;

namespace specterm {

// The style for both bars, owned by parent.
QStyle* NewScrollArrowStyle(QObject* parent);

// Shows both arrows or only one of them.
void ShowScrollArrows(QScrollBar* bar, ScrollArrows arrows);
ScrollArrows ShownScrollArrows(const QScrollBar* bar);

}  // namespace specterm
