// The plot's columns as the waterfall below it needs them: the mapping of
// plot x to pixel columns that the drawing uses, the plotting area's columns
// right of the frame, and the levels the area shows.

#include "forms/PictureBox.h"
#include "processing/Processing.h"
#include "view/PlotRenderer.h"
#include "view/PlotView.h"

#include <algorithm>
#include <cmath>

namespace specterm {

ColumnMap PlotView::Columns() const {
  // The view window maps onto the plotting area; the waterfall's rows take
  // the same columns.
  const forms::ScaleMapping m = Mapping();
  ColumnMap map;
  map.Scale = m.Area.width() / m.Width;
  map.Origin = m.Area.left() - map.Scale * m.Left;
  // The frame's line is the plot's, not the rows'.
  map.First = std::max(static_cast<int>(std::floor(m.Area.left() + 0.5)) + 1, 0);
  map.Last = std::min(c_.picSpectrum->PixelWidth(), static_cast<int>(std::floor(m.Area.right() + 0.5))) - 1;
  return map;
}

LevelRange PlotView::VisibleLevels() const {
  // Plot y is the level negated; the plotting area shows the whole view.
  const forms::ScaleMapping m = Mapping();
  return {static_cast<float>(-m.Top), static_cast<float>(-(m.Top + m.Height))};
}

}  // namespace specterm
