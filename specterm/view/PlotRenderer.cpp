#include "view/PlotRenderer.h"

#include "base/Twips.h"
#include "forms/PictureBox.h"
#include "vbformat/VbFormat.h"

#include <QPointF>

#include <algorithm>
#include <cmath>
#include <span>
#include <utility>
#include <vector>

namespace specterm {
namespace {

// The rows in drawing order with their palette slots: current, previous,
// video average, peak hold.
constexpr std::array<std::pair<int, int>, kTraceRows> kTraceDrawing = {{
    {kCurrentRow, kSlotSpectrumTrace},
    {kPreviousRow, kSlotPreviousTrace},
    {kVideoAverageRow, kSlotVideoAverage},
    {kPeakHoldRow, kSlotPeakHold},
}};

// Each half of a trace row is drawn on its own: the transform's positive
// frequencies, then its negative ones.
constexpr std::size_t kHalfTrace = kPointCount / 2;

// The rotated frequency labels end this many pixels above the frame, so
// that they do not touch it.
constexpr double kFrequencyLabelGapPixels = 2.0;

std::uint32_t Slot(const PlotScene& scene, int slot) { return (*scene.Colors)[static_cast<std::size_t>(slot)]; }

// A rectangle of the plot space, in scale units.
struct ClipArea {
  double Left;
  double Top;
  double Right;
  double Bottom;
};

// The plotting area less a margin of pixels on each side, so that a pen of
// that many pixels drawn inside it does not reach beyond it.
ClipArea PlottingArea(const forms::PictureBox& pic, const PlotFrame& frame, int marginPixels) {
  const forms::ScaleMapping mapping = pic.Mapping();
  const double mx = mapping.UnitsX(marginPixels);
  const double my = mapping.UnitsY(marginPixels);
  return {frame.PlotLeft + mx, frame.PlotTop + my, frame.Right - mx, frame.Bottom - my};
}

// Liang-Barsky: cuts the segment a-b to the area; false when nothing of it
// lies inside.
bool ClipSegment(QPointF& a, QPointF& b, const ClipArea& area) {
  double x1 = a.x(), y1 = a.y(), x2 = b.x(), y2 = b.y();
  if (!forms::ClipSegment(x1, y1, x2, y2, area.Left, area.Top, area.Right, area.Bottom)) return false;
  a = QPointF(x1, y1);
  b = QPointF(x2, y2);
  return true;
}

bool Inside(const QPointF& p, const ClipArea& area) {
  return p.x() >= area.Left && p.x() <= area.Right && p.y() >= area.Top && p.y() <= area.Bottom;
}

// Exactly the same point (QPointF's own comparison allows for rounding).
bool Same(const QPointF& a, const QPointF& b) { return a.x() == b.x() && a.y() == b.y(); }

// One piece of a trace, cut to the area: each run that stays inside is one
// polyline. Most segments lie wholly inside and need no cutting.
void DrawClippedPiece(forms::PictureBox& pic, std::span<const QPointF> points, const ClipArea& area,
                      std::uint32_t colour, std::vector<QPointF>& run) {
  run.clear();
  const auto flush = [&] {
    if (run.size() >= 2) pic.Polyline(run, colour);
    run.clear();
  };
  bool inside0 = !points.empty() && Inside(points[0], area);
  for (std::size_t i = 1; i < points.size(); ++i) {
    const bool inside1 = Inside(points[i], area);
    const bool bothInside = inside0 && inside1;
    inside0 = inside1;
    if (bothInside) {
      if (run.empty()) run.push_back(points[i - 1]);
      run.push_back(points[i]);
      continue;
    }
    QPointF a = points[i - 1];
    QPointF b = points[i];
    // Zoomed in, most of a trace lies beyond one side of the area.
    const bool beyond = (a.x() < area.Left && b.x() < area.Left) || (a.x() > area.Right && b.x() > area.Right) ||
                        (a.y() < area.Top && b.y() < area.Top) || (a.y() > area.Bottom && b.y() > area.Bottom);
    if (beyond || !ClipSegment(a, b, area)) {
      flush();
      continue;
    }
    if (run.empty() || !Same(run.back(), a)) {
      flush();
      run.push_back(a);
    }
    run.push_back(b);
    // Cut short at its end: the trace leaves the area here.
    if (!Same(b, points[i])) flush();
  }
  flush();
}

void DrawTraces(forms::PictureBox& pic, const PlotScene& scene, const PlotFrame& frame, int traceWidth) {
  pic.SetDrawWidth(traceWidth);
  if (scene.Traces == nullptr || !scene.Traces->HaveData) return;
  // Half a wide pen reaches beyond its line, and one pixel more keeps the
  // trace off the frame.
  const ClipArea area = PlottingArea(pic, frame, traceWidth / 2 + 1);
  if (!(area.Left < area.Right) || !(area.Top < area.Bottom)) return;
  std::vector<QPointF> points;
  std::vector<QPointF> run;
  points.reserve(kHalfTrace);
  run.reserve(kHalfTrace);
  for (const auto& [row, slot] : kTraceDrawing) {
    if (!scene.TraceOn[static_cast<std::size_t>(row)]) continue;
    const auto& xs = scene.Traces->TraceX[static_cast<std::size_t>(row)];
    const auto& ys = scene.Traces->TraceY[static_cast<std::size_t>(row)];
    for (const std::size_t half : {std::size_t{0}, kHalfTrace})
      for (const auto& [first, end] : TracePieces(xs.data(), half, half + kHalfTrace)) {
        points.clear();
        for (std::size_t i = first; i < end; ++i) points.emplace_back(xs[i], -ys[i]);
        DrawClippedPiece(pic, points, area, Slot(scene, slot), run);
      }
  }
}

void DrawAmplitudeGrid(forms::PictureBox& pic, const PlotScene& scene, const PlotFrame& frame, int ky) {
  // The label column starts a 256th of the picture's width from its left.
  const auto labelX = static_cast<float>(pic.ScaleFromPixelX(pic.PixelWidth() / 256.0));
  const float textHeight = pic.TextHeight();
  const float halfText = textHeight / 2.0f;
  // Zoomed out, lines of the table's step would crowd their labels into one
  // smear: the step grows until each label has a text height of its own.
  const int step = AmplitudeGridStep(ky, textHeight);
  for (const std::int32_t i : AmplitudeGridLines(pic.ScaleTop(), pic.ScaleHeight(), step)) {
    const float y = static_cast<float>(i) / 100.0f;
    // A line on the top edge would lie on the frame.
    if (!(frame.PlotTop < y)) continue;
    pic.Line(frame.PlotLeft, y, frame.Right, y, Slot(scene, kSlotGridLines));
    pic.SetCurrentX(labelX);
    pic.SetCurrentY(y - halfText);
    pic.PrintInline(QString::fromStdString(vb::FormatText(AmplitudeLabel(i), kAmplitudeLabelField)));
  }
  // The labels' unit, just above the frame in the corner that the rotated
  // frequency labels leave free.
  const double gapY = kFrequencyLabelGapPixels * pic.ScaleHeight() / pic.PixelHeight();
  pic.SetCurrentX(labelX);
  pic.SetCurrentY(static_cast<float>(frame.PlotTop - textHeight - gapY));
  pic.PrintInline(QString::fromLatin1(kAmplitudeUnitCaption));
}

void DrawFrequencyGrid(forms::PictureBox& pic, const PlotScene& scene, const PlotFrame& frame, int kx) {
  const std::vector<double> lines = FrequencyGridLines(frame.PlotLeft, frame.Right, scene.BandLow, scene.BandHigh, kx);
  if (lines.empty()) return;
  const int heightPixels =
      static_cast<int>(RoundHalfEven(kFrequencyLabelHeightTwips / static_cast<double>(kTwipsPerPixel)));
  // The upright text is centred on its line and rises from just above the
  // frame into the label band.
  const forms::ScaleMapping mapping = pic.Mapping();
  const double halfTextX = mapping.UnitsX(heightPixels / 2.0);
  const double gapY = mapping.UnitsY(kFrequencyLabelGapPixels);
  const QString face = QString::fromLatin1(kLegendFontFace);
  const auto labelTop = static_cast<float>(frame.PlotTop - gapY);
  for (const double x : lines) {
    const auto lineX = static_cast<float>(x);
    pic.Line(lineX, frame.PlotTop, lineX, frame.Bottom, Slot(scene, kSlotGridLines));
    const std::string label = vb::Format(x / 10.0 / static_cast<double>(scene.SpanScale), scene.FreqFormat);
    pic.PrintRotated(QString::fromStdString(label), static_cast<float>(x - halfTextX), labelTop, face, heightPixels,
                     kFrequencyLabelEscapement);
  }
}

}  // namespace

PlotFrame MeasureFrame(const forms::PictureBox& pic, const std::string& freqFormat) {
  PlotFrame f;
  const forms::ScaleMapping mapping = pic.Mapping();
  // The label column: the widest amplitude label and a 128th of the
  // picture's width beside it.
  const double column = mapping.PixelsX(pic.TextWidth(QString::fromLatin1(kWidestAmplitudeLabel))) +
                        pic.PixelWidth() / static_cast<double>(kMarginFraction);
  // The label band: as high as the rotated labels of the format are long.
  const double band = mapping.PixelsX(pic.TextWidth(QString::fromStdString(freqFormat)));
  // Never all of the picture: a sliver of plotting area always remains.
  f.LabelColumn = std::clamp(static_cast<int>(std::ceil(column)), 0, std::max(0, pic.PixelWidth() - 1));
  f.LabelBand = std::clamp(static_cast<int>(std::ceil(band)), 0, std::max(0, pic.PixelHeight() - 1));
  f.PlotLeft = pic.ScaleLeft();
  f.PlotTop = pic.ScaleTop();
  f.Right = pic.ScaleLeft() + pic.ScaleWidth();
  f.Bottom = pic.ScaleTop() + pic.ScaleHeight();
  return f;
}

void MapViewOntoPlottingArea(forms::PictureBox& pic, const PlotFrame& frame) {
  pic.SetScaleInsets(QMargins(frame.LabelColumn, frame.LabelBand, 0, 0));
}

namespace {

// Runs draw in the cursors' pen: dotted, inverted, magenta.
template <class Draw>
void InCursorPen(forms::PictureBox& pic, Draw draw) {
  const int mode = pic.DrawMode();
  const int style = pic.DrawStyle();
  pic.SetDrawMode(forms::vbInvert);
  pic.SetDrawStyle(forms::vbDot);
  draw();
  pic.SetDrawStyle(style);
  pic.SetDrawMode(mode);
}

}  // namespace

namespace {

void DrawCursorVertical(forms::PictureBox& pic, float x, const PlotFrame& frame) {
  if (x >= frame.PlotLeft && x <= frame.Right) pic.Line(x, frame.PlotTop, x, frame.Bottom, kCursorColor);
}

void DrawCursorHorizontal(forms::PictureBox& pic, float y, const PlotFrame& frame) {
  if (y >= frame.PlotTop && y <= frame.Bottom) pic.Line(frame.PlotLeft, y, frame.Right, y, kCursorColor);
}

}  // namespace

void DrawCursorCross(forms::PictureBox& pic, float x, float y, const PlotFrame& frame) {
  InCursorPen(pic, [&] {
    DrawCursorVertical(pic, x, frame);
    DrawCursorHorizontal(pic, y, frame);
  });
}

void DrawCursorJoin(forms::PictureBox& pic, const std::array<float, 4>& cursorPos, const PlotFrame& frame) {
  QPointF a(cursorPos[0], cursorPos[1]);
  QPointF b(cursorPos[2], cursorPos[3]);
  if (!ClipSegment(a, b, PlottingArea(pic, frame, 0))) return;
  InCursorPen(pic, [&] {
    pic.Line(static_cast<float>(a.x()), static_cast<float>(a.y()), static_cast<float>(b.x()), static_cast<float>(b.y()),
             kCursorColor);
  });
}

void DrawCursorLines(forms::PictureBox& pic, const std::array<float, 4>& cursorPos, const PlotFrame& frame) {
  const bool first = cursorPos[0] != -1.0f;
  const bool second = cursorPos[2] != -1.0f;
  // Inverted lines drawn twice on the same pixels would vanish: a line of
  // the second cursor that lies on one of the first is drawn once, and so
  // is a joining line that runs along them.
  const forms::ScaleMapping mapping = pic.Mapping();
  const auto pixel = [](double v) { return std::floor(v + 0.5); };
  const bool sameColumn = first && second && pixel(mapping.PixelX(cursorPos[0])) == pixel(mapping.PixelX(cursorPos[2]));
  const bool sameRow = first && second && pixel(mapping.PixelY(cursorPos[1])) == pixel(mapping.PixelY(cursorPos[3]));
  if (first) DrawCursorCross(pic, cursorPos[0], cursorPos[1], frame);
  if (second)
    InCursorPen(pic, [&] {
      if (!sameColumn) DrawCursorVertical(pic, cursorPos[2], frame);
      if (!sameRow) DrawCursorHorizontal(pic, cursorPos[3], frame);
    });
  if (first && second && !sameColumn && !sameRow) DrawCursorJoin(pic, cursorPos, frame);
}

void DrawRubberBand(forms::PictureBox& pic, float x1, float y1, float x2, float y2, bool filled) {
  const int mode = pic.DrawMode();
  pic.SetDrawMode(forms::vbInvert);
  pic.SetClipToScaleArea(true);
  if (filled)
    pic.FilledBox(x1, y1, x2, y2, kRubberBandColor);
  else
    pic.Box(x1, y1, x2, y2, kRubberBandColor);
  pic.SetClipToScaleArea(false);
  pic.SetDrawMode(mode);
}

void DrawSelectionMarker(forms::PictureBox& pic, float x, float y, float radius, std::uint32_t color) {
  pic.SetDrawMode(forms::vbInvert);
  pic.SetClipToScaleArea(true);
  pic.Circle(x, y, radius, color);
  pic.SetClipToScaleArea(false);
  pic.SetDrawMode(forms::vbCopyPen);
}

PlotMarks DrawPlot(forms::PictureBox& pic, const PlotScene& scene, const DerivedParameters& params) {
  PlotMarks marks;

  // Background.
  pic.SetDrawMode(forms::vbCopyPen);
  pic.SetDrawStyle(forms::vbSolid);
  pic.SetBackColor(Slot(scene, kSlotBackground));

  // The legend font measures the label column and band that the traces
  // keep clear of.
  if (pic.FontName() != QLatin1String(kLegendFontFace)) pic.SetFontName(QString::fromLatin1(kLegendFontFace));
  if (pic.FontSize() != kLegendFontPoints) pic.SetFontSize(kLegendFontPoints);
  const PlotFrame frame = MeasureFrame(pic, scene.FreqFormat);
  MapViewOntoPlottingArea(pic, frame);

  DrawTraces(pic, scene, frame, params.Height.TraceWidth);

  // Legend pen.
  pic.SetDrawWidth(1);
  pic.SetForeColor(Slot(scene, kSlotLegendScale));

  // Frame.
  pic.Line(frame.PlotLeft, frame.PlotTop, frame.Right, frame.PlotTop, Slot(scene, kSlotGridLines));
  pic.Line(frame.PlotLeft, frame.PlotTop, frame.PlotLeft, frame.Bottom, Slot(scene, kSlotGridLines));

  DrawAmplitudeGrid(pic, scene, frame, params.Height.Ky);
  DrawFrequencyGrid(pic, scene, frame, params.Width.Kx);

  if (!scene.Guidance.empty()) {
    const QString guidance = QString::fromStdString(scene.Guidance);
    pic.SetCurrentX(frame.PlotLeft + (frame.Right - frame.PlotLeft - pic.TextWidth(guidance)) / 2.0f);
    pic.SetCurrentY(frame.PlotTop + (frame.Bottom - frame.PlotTop - pic.TextHeight(guidance)) / 2.0f);
    pic.PrintInline(guidance);
  }

  // The minimum peak threshold across the plotting area, where it lies in
  // the view.
  if (frame.PlotTop < -scene.MinPeakThreshold && -scene.MinPeakThreshold <= frame.Bottom) {
    pic.SetDrawStyle(forms::vbDashDotDot);
    pic.Line(frame.PlotLeft, -scene.MinPeakThreshold, frame.Right, -scene.MinPeakThreshold,
             Slot(scene, kSlotPeakThreshold));
    pic.SetDrawStyle(forms::vbSolid);
  }

  // The pick box and marker size: a fixed number of pixels about the last
  // pick location, in the current scale.
  const forms::ScaleMapping mapping = pic.Mapping();
  const double dx = mapping.UnitsX(kPickPixels);
  const double dy = mapping.UnitsY(kPickPixels);
  const double centreX = (static_cast<double>(scene.PickLeft) + scene.PickRight) / 2.0;
  const double centreY = (static_cast<double>(scene.PickTop) + scene.PickBottom) / 2.0;
  marks.PickLeft = static_cast<float>(centreX - dx);
  marks.PickRight = static_cast<float>(centreX + dx);
  marks.PickTop = static_cast<float>(centreY - dy);
  marks.PickBottom = static_cast<float>(centreY + dy);

  if (scene.CursorsOn) DrawCursorLines(pic, scene.CursorPos, frame);

  const bool pointValid = scene.SelectedPoint >= 1 && scene.SelectedPoint <= static_cast<std::int32_t>(kPointCount) &&
                          scene.SelectedTrace >= 0 && scene.SelectedTrace < static_cast<std::int16_t>(kTraceRows);
  if (scene.MarkerShown && pointValid && scene.Traces != nullptr) {
    const auto row = static_cast<std::size_t>(scene.SelectedTrace);
    const auto point = static_cast<std::size_t>(scene.SelectedPoint - 1);
    DrawSelectionMarker(pic, scene.Traces->TraceX[row][point], -scene.Traces->TraceY[row][point],
                        std::abs(marks.PickRight - marks.PickLeft) / 2.0f, Slot(scene, kSlotSelectionMarker));
    marks.MarkerDrawn = true;
  }
  return marks;
}

}  // namespace specterm
