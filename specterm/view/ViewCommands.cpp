// The operations that move the plot's view window: the dB-per-division and
// span presets with their check marks, zoom in and out about the selected
// location with their limits, centre, fit, previous view and pan, and the
// mouse pointer's placement on a plot location.

#include "forms/Dialogs.h"
#include "forms/PictureBox.h"
#include "interaction/Interaction.h"
#include "processing/Processing.h"
#include "view/PlotView.h"
#include "view/StatusBarPresenter.h"
#include "view/ViewModel.h"
#include "window/FormControls.h"

#include <QAction>
#include <QCursor>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace specterm {
namespace {

void SetChecks(const std::array<QAction*, 10>& items, int index) {
  for (QAction* item : items) item->setChecked(false);
  if (index >= 0 && index < static_cast<int>(items.size())) items[static_cast<std::size_t>(index)]->setChecked(true);
}

// A pointer position far outside the screen is held to this many pixels.
constexpr double kPointerReach = 100000.0;

}  // namespace

PlotView::PlotView(FormControls& controls, Processing& spectrum, Interaction& input, StatusBarPresenter& status)
    : c_(controls), spectrum_(spectrum), input_(input), status_(status) {}

void PlotView::Initialize() {
  // The selection marker is the one colour that is not stored.
  palette_.Palettes = {DefaultPalette(kViewingPalette), DefaultPalette(kPrintingPalette)};
  palette_.Palettes[static_cast<std::size_t>(palette_.CurrentPalette)][kSlotSelectionMarker] = kViewingSelectionMarker;

  const SampleBlock& block = spectrum_.Block();
  const AmplitudeScale& amplitude = spectrum_.Amplitude();
  view_.BandWidth = 1000.0 / block.RateDivisor;
  view_.MinViewWidth = 0.025;
  view_.DisplayStep = (static_cast<double>(block.BandHigh) - block.BandLow) / kTransformLength;
  view_.TransformStep = view_.BandWidth / kTransformLength;

  // Until the first data set fits the view, the plot spans the initial band
  // and amplitude range.
  ApplyWindow({block.BandLow, -amplitude.AmpCeiling, block.BandHigh - block.BandLow, amplitude.AmpRange});
  SetPrevious();

  c_.hScroll->setRange(0, 100);
  c_.hScroll->setValue(50);
  c_.vScroll->setRange(static_cast<int>(amplitude.AmpFloor), static_cast<int>(amplitude.AmpCeiling));
  c_.vScroll->setValue(0);
}

ViewRect PlotView::Window() const {
  const forms::PictureBox& pic = *c_.picSpectrum;
  return {pic.ScaleLeft(), pic.ScaleTop(), pic.ScaleWidth(), pic.ScaleHeight()};
}

void PlotView::ApplyWindow(const ViewRect& view) {
  forms::PictureBox& pic = *c_.picSpectrum;
  pic.SetScaleHeight(view.Height);
  pic.SetScaleWidth(view.Width);
  pic.SetScaleLeft(view.Left);
  pic.SetScaleTop(view.Top);
}

void PlotView::SetChecksDB(int index) { SetChecks(c_.mnuViewDBB, index); }

void PlotView::SetChecksFB(int index) { SetChecks(c_.mnuViewFB, index); }

void PlotView::mnuViewDBB_Click(int index) {
  SetPrevious();
  ViewRect view = Window();
  view.Height = DbPresetHeight(index);
  view.Top = input_.Selection().SelectedY - view.Height / 2.0f;
  ApplyWindow(view);
  view_.DBDivIndex = static_cast<std::int16_t>(index);
  UpdateView();
  input_.EndClick();
}

void PlotView::mnuViewFB_Click(int index) {
  SetPrevious();
  ViewRect view = Window();
  view.Width = SpanPresetWidth(index);
  view.Left = input_.Selection().SelectedX - view.Width / 2.0f;
  ApplyWindow(view);
  view_.SpanIndex = static_cast<std::int16_t>(index);
  UpdateView();
  input_.EndClick();
}

void PlotView::ZoomOutView() {
  SetPrevious();
  view_.ZoomFactor = kZoomOutFactor;
  const SelectionState& selection = input_.Selection();
  const auto zoomed = ZoomedOut(Window(), selection.SelectedX, selection.SelectedY, spectrum_.Amplitude().AmpRange);
  if (zoomed) {
    ApplyWindow(*zoomed);
    UpdateView();
    return;
  }
  ApplyWindow(view_.PreviousView);
  status_.ShowStatusMessage(QString::fromLatin1(kZoomOutLimitMessage));
  forms::Beep();
}

void PlotView::ZoomInView() {
  SetPrevious();
  view_.ZoomFactor = kZoomInRecorded;
  const SelectionState& selection = input_.Selection();
  const auto zoomed = ZoomedIn(Window(), selection.SelectedX, selection.SelectedY, view_.MinViewWidth);
  if (zoomed) {
    ApplyWindow(*zoomed);
    UpdateView();
    return;
  }
  status_.ShowStatusMessage(QString::fromLatin1(kZoomInLimitMessage));
  forms::Beep();
}

void PlotView::CenterView() {
  SetPrevious();
  ApplyWindow(CentredOn(Window(), input_.Selection().SelectedX, input_.Selection().SelectedY));
  UpdateView();
}

ViewRect PlotView::FitWindow() const {
  const AmplitudeScale& amplitude = spectrum_.Amplitude();
  return FittedView(spectrum_.Block().BandLow, spectrum_.Block().BandHigh, amplitude.AmpCeiling, amplitude.AmpRange);
}

void PlotView::FitView() {
  SetPrevious();
  ApplyWindow(FitWindow());
  UpdateView();
  input_.EndClick();
}

void PlotView::ZoomToView(const ViewRect& view) {
  SetPrevious();
  ApplyWindow(view);
  UpdateView();
}

void PlotView::PreviousView() {
  view_.TempView = view_.PreviousView;
  SetPrevious();
  ApplyWindow(view_.TempView);
  UpdateView();
  input_.EndClick();
}

void PlotView::PanView(int keyCode, bool moveMouse) {
  SetPrevious();
  ApplyWindow(Panned(Window(), keyCode, view_.PanStepX, view_.PanStepY));
  UpdateView();
  if (moveMouse) MoveCursor(input_.Selection().SelectedX, input_.Selection().SelectedY);
}

void PlotView::MoveCursor(float x, float y) const {
  const ViewRect view = Window();
  const double fx = (static_cast<double>(x) - view.Left) / static_cast<double>(view.Width);
  const double fy = (static_cast<double>(y) - view.Top) / static_cast<double>(view.Height);
  if (!std::isfinite(fx) || !std::isfinite(fy)) return;
  const auto px = RoundHalfEven(std::clamp(c_.picSpectrum->PixelWidth() * fx, -kPointerReach, kPointerReach));
  const auto py = RoundHalfEven(std::clamp(c_.picSpectrum->PixelHeight() * fy, -kPointerReach, kPointerReach));
  QCursor::setPos(c_.picSpectrum->mapToGlobal(QPoint(static_cast<int>(px), static_cast<int>(py))));
}

bool PlotView::InRange() const {
  return Contains(Window(), input_.Selection().SelectedX, input_.Selection().SelectedY);
}

}  // namespace specterm
