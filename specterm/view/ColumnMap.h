#pragma once

// Where plot x lands on the plot's picture, for what lines up with the
// plot's columns (the waterfall below it).

namespace specterm {

// Where plot x lands on the plot's picture: a point drawn at x lies in pixel
// column round(Origin + Scale * x); the plotting area spans the columns
// First..Last. The plot hands it out (PlotView::Columns), so whatever lines
// up with the plot's columns takes the plot's own mapping.
struct ColumnMap {
  double Origin = 0;
  double Scale = 1;  // pixels per plot x unit
  int First = 0;
  int Last = -1;
  int Columns() const { return Last >= First ? Last - First + 1 : 0; }
  bool operator==(const ColumnMap&) const = default;
};

// The levels at the top and the foot of the plotting area, in dB: what the
// plot shows of the amplitude, below the band of its frequency labels.
struct LevelRange {
  float TopDb = 0;
  float BottomDb = 0;
};

}  // namespace specterm
