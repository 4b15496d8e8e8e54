// The one drawing routine of the analyzer: the whole plot from the trace
// store, the view window, the palette in use and the overlay (threshold,
// cursors, selection marker). Every change of what is shown ends here.
// Between redraws the cursors, the marker and a gesture's figures change by
// drawing over the picture in invert mode: drawing a figure again erases it,
// so the view keeps what it drew to take it away.

#include "base/Twips.h"
#include "forms/PictureBox.h"
#include "processing/Processing.h"
#include "vbformat/VbFormat.h"
#include "view/PlotRenderer.h"
#include "view/PlotView.h"
#include "view/StatusBarPresenter.h"
#include "view/ViewModel.h"

#include <cmath>

namespace specterm {

void PlotView::UpdateView() {
  if (view_.ScrollBarsStale) {
    SetScrollBars();
    view_.ScrollBarsStale = false;
  }

  const forms::PictureBox& pic = *c_.picSpectrum;
  const DerivedParameters params = DeriveParameters(pic.ScaleWidth(), pic.ScaleHeight());
  SetChecksFB(params.Width.SpanCheck);
  SetChecksDB(params.Height.DbCheck);
  view_.AmpFormat = params.Height.AmpFormat;
  view_.TraceWidth = params.Height.TraceWidth;
  view_.PanStepX = params.PanStepX;
  view_.PanStepY = params.PanStepY;

  PlotScene scene;
  scene.Traces = &spectrum_.Traces();
  for (int row = 0; row < static_cast<int>(kTraceRows); ++row)
    scene.TraceOn[static_cast<std::size_t>(row)] = spectrum_.TraceShown(row);
  scene.Colors = &palette_.Palettes[static_cast<std::size_t>(palette_.CurrentPalette)];
  const SampleBlock& block = spectrum_.Block();
  scene.BandLow = block.BandLow;
  scene.BandHigh = block.BandHigh;
  scene.SpanScale = block.SpanScale;
  scene.FreqFormat = block.FreqFormat;
  scene.MinPeakThreshold = overlay_.MinPeakThreshold;
  scene.Guidance = overlay_.Guidance;
  scene.CursorsOn = overlay_.Cursors.Shown;
  scene.CursorPos = overlay_.Cursors.Pos;
  scene.MarkerShown = overlay_.Marker.Shown;
  scene.SelectedPoint = overlay_.Marker.Point;
  scene.SelectedTrace = overlay_.Marker.Trace;
  scene.PickLeft = pick_.Left;
  scene.PickRight = pick_.Right;
  scene.PickTop = pick_.Top;
  scene.PickBottom = pick_.Bottom;

  // The picture is cleared: what was drawn over it is gone, and the redraw
  // draws the overlay afresh.
  const PlotMarks marks = DrawPlot(*c_.picSpectrum, scene, params);
  pick_ = {marks.PickLeft, marks.PickRight, marks.PickTop, marks.PickBottom};
  drawnMarker_ = marks.MarkerDrawn ? SpotOf(overlay_.Marker) : std::nullopt;
  drawnCursors_ = overlay_.Cursors.Shown ? std::optional<CursorLines>(overlay_.Cursors) : std::nullopt;
  overlay_.Figures = {};
  Describe();

  status_.SetStatusText(QString());
}

void PlotView::Describe() {
  const SampleBlock& block = spectrum_.Block();
  const auto frequency = [&block](double x) {
    return QString::fromStdString(vb::Format(x / 10.0 / static_cast<double>(block.SpanScale), block.FreqFormat));
  };
  const ViewRect view = Window();
  QString text = QStringLiteral("Center ") + frequency(static_cast<double>(view.Left + view.Width / 2)) +
                 QStringLiteral(", span ") + frequency(static_cast<double>(std::abs(view.Width)));
  if (const std::optional<MarkerSpot> spot = SpotOf(overlay_.Marker)) {
    text += QStringLiteral("; selected point ") + QString::number(overlay_.Marker.Point) + QStringLiteral(" of the ") +
            QString::fromStdString(TraceName(overlay_.Marker.Trace)) + QStringLiteral(" trace at ") +
            frequency(static_cast<double>(spot->X)) + QStringLiteral(", ") +
            QString::fromStdString(vb::Format(-static_cast<double>(spot->Y), "0.000dB"));
  } else {
    text += QStringLiteral("; no point selected");
  }
  c_.picSpectrum->setAccessibleDescription(text);
}

void PlotView::SetPrevious() { view_.PreviousView = Window(); }

forms::ScaleMapping PlotView::Mapping() const { return c_.picSpectrum->Mapping(); }

PickBox PlotView::PickAt(float x, float y) {
  const forms::PictureBox& pic = *c_.picSpectrum;
  const double px = static_cast<double>(RoundHalfEven(pic.PixelX(x)));
  const double py = static_cast<double>(RoundHalfEven(pic.PixelY(y)));
  pick_.Left = static_cast<float>(pic.ScaleFromPixelX(px - kPickPixels));
  pick_.Right = static_cast<float>(pic.ScaleFromPixelX(px + kPickPixels));
  pick_.Top = static_cast<float>(pic.ScaleFromPixelY(py - kPickPixels));
  pick_.Bottom = static_cast<float>(pic.ScaleFromPixelY(py + kPickPixels));
  return pick_;
}

std::optional<PlotView::MarkerSpot> PlotView::SpotOf(const SelectionMarker& marker) const {
  const bool valid = marker.Point >= 1 && marker.Point <= static_cast<std::int32_t>(kPointCount) && marker.Trace >= 0 &&
                     marker.Trace < static_cast<std::int16_t>(kTraceRows);
  if (!marker.Shown || !valid) return std::nullopt;
  const TraceStore& traces = spectrum_.Traces();
  const auto row = static_cast<std::size_t>(marker.Trace);
  const auto point = static_cast<std::size_t>(marker.Point - 1);
  return MarkerSpot{traces.TraceX[row][point], -traces.TraceY[row][point], std::abs(pick_.Right - pick_.Left) / 2.0f};
}

void PlotView::DrawMarker(const MarkerSpot& spot) {
  const std::uint32_t colour =
      palette_.Palettes[static_cast<std::size_t>(palette_.CurrentPalette)][kSlotSelectionMarker];
  DrawSelectionMarker(*c_.picSpectrum, spot.X, spot.Y, spot.Radius, colour);
}

void PlotView::ShowMarker(const SelectionMarker& marker) {
  overlay_.Marker = marker;
  const std::optional<MarkerSpot> spot = SpotOf(marker);
  if (spot == drawnMarker_) return;
  if (drawnMarker_) DrawMarker(*drawnMarker_);
  if (spot) DrawMarker(*spot);
  drawnMarker_ = spot;
  Describe();
}

void PlotView::ShowCursors(const CursorLines& cursors) {
  overlay_.Cursors = cursors;
  const std::optional<CursorLines> shown = cursors.Shown ? std::optional<CursorLines>(cursors) : std::nullopt;
  if (shown == drawnCursors_) return;
  // Cut to the plotting area, as the redraw cuts them.
  const PlotFrame frame = MeasureFrame(*c_.picSpectrum, spectrum_.Block().FreqFormat);
  if (drawnCursors_) DrawCursorLines(*c_.picSpectrum, drawnCursors_->Pos, frame);
  if (shown) DrawCursorLines(*c_.picSpectrum, shown->Pos, frame);
  drawnCursors_ = shown;
}

void PlotView::ShowFigures(const GestureFigures& figures) {
  GestureFigures& drawn = overlay_.Figures;
  const auto change = [this](std::optional<PlotBox>& from, const std::optional<PlotBox>& to, bool filled) {
    if (from == to) return;
    if (from) DrawRubberBand(*c_.picSpectrum, from->X1, from->Y1, from->X2, from->Y2, filled);
    if (to) DrawRubberBand(*c_.picSpectrum, to->X1, to->Y1, to->X2, to->Y2, filled);
    from = to;
  };
  change(drawn.ZoomBox, figures.ZoomBox, false);
  change(drawn.Seed, figures.Seed, true);
  change(drawn.Outer, figures.Outer, false);
}

}  // namespace specterm
