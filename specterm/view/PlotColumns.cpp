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
  const forms::PictureBox& pic = *c_.picSpectrum;
  const PlotFrame frame = MeasureFrame(pic, spectrum_.Block().FreqFormat);
  const double left = pic.ScaleLeft();
  const double right = left + static_cast<double>(pic.ScaleWidth());
  const double pixelLeft = pic.PixelX(left);
  ColumnMap map;
  map.Scale = (pic.PixelX(right) - pixelLeft) / (right - left);
  map.Origin = pixelLeft - map.Scale * left;
  // The frame's line is the plot's, not the rows'.
  map.First = static_cast<int>(std::floor(pic.PixelX(frame.PlotLeft) + 0.5)) + 1;
  map.Last = std::min(pic.PixelWidth(), static_cast<int>(std::floor(pic.PixelX(frame.Right) + 0.5))) - 1;
  map.First = std::max(map.First, 0);
  return map;
}

LevelRange PlotView::VisibleLevels() const {
  // Plot y is the level negated; the labels' band takes the view's top.
  const PlotFrame frame = MeasureFrame(*c_.picSpectrum, spectrum_.Block().FreqFormat);
  return {-frame.PlotTop, -frame.Bottom};
}

}  // namespace specterm
