// The operations that move the plot's view window: the dB-per-division and
// span presets with their check marks, zoom in and out about the selected
// location with their limits, centre, fit, previous view and pan, and the
// mouse pointer's placement on a plot location.

#include "forms/Dialogs.h"
#include "forms/PictureBox.h"
#include "modems/frmMain.h"
#include "view/ViewModel.h"

#include <QAction>
#include <QCursor>

#include <algorithm>
#include <cmath>

namespace specterm {
namespace {

ViewRect ViewOf(const forms::PictureBox& pic) {
  return {pic.ScaleLeft(), pic.ScaleTop(), pic.ScaleWidth(), pic.ScaleHeight()};
}

void ApplyView(forms::PictureBox& pic, const ViewRect& view) {
  pic.SetScaleHeight(view.Height);
  pic.SetScaleWidth(view.Width);
  pic.SetScaleLeft(view.Left);
  pic.SetScaleTop(view.Top);
}

void SetChecks(const std::array<QAction*, 10>& items, int index) {
  for (QAction* item : items) item->setChecked(false);
  if (index >= 0 && index < static_cast<int>(items.size())) items[static_cast<std::size_t>(index)]->setChecked(true);
}

// A pointer position far outside the screen is held to this many pixels.
constexpr double kPointerReach = 100000.0;

}  // namespace

void frmMain::SetChecksDB(int index) { SetChecks(mnuViewDBB, index); }

void frmMain::SetChecksFB(int index) { SetChecks(mnuViewFB, index); }

void frmMain::mnuViewDBB_Click(int index) {
  SetPrevious();
  ViewRect view = ViewOf(*picSpectrum);
  view.Height = DbPresetHeight(index, Spectrum->Amplitude.AmpRange);
  view.Top = Selection.SelectedY - view.Height / 2.0f;
  ApplyView(*picSpectrum, view);
  View.DBDivIndex = static_cast<std::int16_t>(index);
  UpdateView();
  Mouse.ClickButton = 0;
}

void frmMain::mnuViewFB_Click(int index) {
  SetPrevious();
  ViewRect view = ViewOf(*picSpectrum);
  view.Width = SpanPresetWidth(index, Spectrum->Block.SpanScale);
  view.Left = Selection.SelectedX - view.Width / 2.0f;
  ApplyView(*picSpectrum, view);
  View.SpanIndex = static_cast<std::int16_t>(index);
  UpdateView();
  Mouse.ClickButton = 0;
}

void frmMain::ZoomOutView() {
  SetPrevious();
  View.ZoomFactor = kZoomOutFactor;
  const auto zoomed =
      ZoomedOut(ViewOf(*picSpectrum), Selection.SelectedX, Selection.SelectedY, Spectrum->Amplitude.AmpRange);
  if (zoomed) {
    ApplyView(*picSpectrum, *zoomed);
    UpdateView();
    return;
  }
  ApplyView(*picSpectrum, View.PreviousView);
  ShowStatusMessage(QString::fromLatin1(kZoomOutLimitMessage));
  forms::Beep();
}

void frmMain::ZoomInView() {
  SetPrevious();
  View.ZoomFactor = kZoomInRecorded;
  const auto zoomed = ZoomedIn(ViewOf(*picSpectrum), Selection.SelectedX, Selection.SelectedY, View.MinViewWidth);
  if (zoomed) {
    ApplyView(*picSpectrum, *zoomed);
    UpdateView();
    return;
  }
  ShowStatusMessage(QString::fromLatin1(kZoomInLimitMessage));
  forms::Beep();
}

void frmMain::CenterView() {
  SetPrevious();
  ApplyView(*picSpectrum, CentredOn(ViewOf(*picSpectrum), Selection.SelectedX, Selection.SelectedY));
  UpdateView();
}

void frmMain::FitView() {
  SetPrevious();
  const AmplitudeScale& amplitude = Spectrum->Amplitude;
  ApplyView(*picSpectrum,
            FittedView(Spectrum->Block.BandLow, Spectrum->Block.BandHigh, amplitude.AmpCeiling, amplitude.AmpRange));
  UpdateView();
  Mouse.ClickButton = 0;
}

void frmMain::PreviousView() {
  View.TempView = View.PreviousView;
  SetPrevious();
  ApplyView(*picSpectrum, View.TempView);
  UpdateView();
  Mouse.ClickButton = 0;
}

void frmMain::PanView(int keyCode, bool moveMouse) {
  SetPrevious();
  ApplyView(*picSpectrum, Panned(ViewOf(*picSpectrum), keyCode, View.PanStepX, View.PanStepY));
  UpdateView();
  if (moveMouse) MoveCursor(Selection.SelectedX, Selection.SelectedY);
}

void frmMain::MoveCursor(float& x, float& y) {
  const ViewRect view = ViewOf(*picSpectrum);
  const double fx = (static_cast<double>(x) - view.Left) / static_cast<double>(view.Width);
  const double fy = (static_cast<double>(y) - view.Top) / static_cast<double>(view.Height);
  if (!std::isfinite(fx) || !std::isfinite(fy)) return;
  const auto px = RoundHalfEven(std::clamp(picSpectrum->PixelWidth() * fx, -kPointerReach, kPointerReach));
  const auto py = RoundHalfEven(std::clamp(picSpectrum->PixelHeight() * fy, -kPointerReach, kPointerReach));
  QCursor::setPos(picSpectrum->mapToGlobal(QPoint(static_cast<int>(px), static_cast<int>(py))));
}

bool frmMain::InRange() const { return Contains(ViewOf(*picSpectrum), Selection.SelectedX, Selection.SelectedY); }

}  // namespace specterm
