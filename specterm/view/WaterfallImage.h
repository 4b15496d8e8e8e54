#pragma once

// The waterfall's picture: the rows of the history under the plot's columns,
// newest at the top, a time axis in the label column at their left and a
// colour bar with its dB range below them.
//
// The rows live in a ring of image lines: a new data set takes the line
// above the newest (the picture scrolls by one line) and only its row is
// drawn. Everything is drawn again when the scene changes (zoom, pan, the
// palette, the size) or the picture is handed other rows.

#include "processing/WaterfallHistory.h"
#include "view/WaterfallRows.h"

#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QPainter;

namespace specterm {

// What the picture is drawn for, besides the rows.
struct WaterfallScene {
  ColumnMap Columns;  // the plot's columns
  float TopDb = 0;    // the plot's visible dB range: the colour scale's ends
  float BottomDb = 0;
  float SpanScale = 1;  // plot x of a frequency in 0.1 MHz units
  int Palette = 0;
  std::uint32_t Background = 0;  // 0x00BBGGRR colours of the palette in use
  std::uint32_t Legend = 0;
  std::uint32_t Grid = 0;
  QSize Size;  // the picture's pixels
  bool operator==(const WaterfallScene&) const = default;
};

// What a pixel of the rows shows.
struct WaterfallSpot {
  std::int64_t TimeMs = 0;
  double X = 0;  // plot x of the column's centre
  std::optional<float> Level;
};

class WaterfallImage {
 public:
  WaterfallImage();

  // Whether the picture shows the history's rows for the scene as it is.
  bool Current(const WaterfallHistory& history, const WaterfallScene& scene) const;
  // Brings the picture up to date: the rows pushed since the last time, or
  // all of them when the scene or the history changed.
  void Sync(const WaterfallHistory& history, const WaterfallScene& scene);
  // Paints the picture with its top-left corner at `at` (after Sync).
  void Paint(QPainter& painter, const WaterfallHistory& history, QPoint at) const;

  // Where the rows lie in the picture (after Sync).
  QRect RowsRect() const;
  // The row, frequency and level under a pixel of the picture; none outside
  // the rows or below the oldest row.
  std::optional<WaterfallSpot> SpotAt(const WaterfallHistory& history, QPoint pixel) const;

 private:
  // The columns' point spans of a row's axis, kept while rows share it.
  const std::vector<ColumnSpan>& Spans(const WaterfallRow& row);
  void DrawRow(const WaterfallRow& row, int line);
  void DrawAll(const WaterfallHistory& history);
  int RowLines(const QSize& size) const;

  QFont font_;
  int textHeight_ = 0;
  WaterfallScene scene_;
  bool drawn_ = false;
  std::uint64_t serial_ = 0;
  std::uint64_t added_ = 0;
  QImage ring_;  // Columns x row lines; line top_ holds the newest row
  int top_ = 0;
  std::array<std::uint32_t, kWaterfallColourSteps> colours_{};
  std::uint32_t empty_ = 0;
  double spansFirst_ = 0;
  double spansStep_ = 0;
  std::vector<ColumnSpan> spans_;
};

}  // namespace specterm
