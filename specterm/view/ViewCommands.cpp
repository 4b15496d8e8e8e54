// The operations that move the plot's view window: the dB-per-division and
// span presets with their check marks, zoom in and out about a location
// with their limits, centre, fit, previous view and pan; the mouse pointer
// over the plot and its placement on a plot location; labels beside a
// location; the copy of the picture.

#include "base/Twips.h"
#include "forms/Dialogs.h"
#include "forms/KeyedToolBar.h"
#include "forms/PictureBox.h"
#include "processing/Processing.h"
#include "view/PlotView.h"
#include "view/StatusBarPresenter.h"
#include "view/ToolbarControls.h"
#include "view/ViewModel.h"

#include <QAction>
#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>
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

// A label's offsets from the location it is beside, in twips.
constexpr int kLabelGap = 60;
constexpr int kLabelBelowOffset = 440;

}  // namespace

PlotView::PlotView(PlotControls& controls, ToolbarControls& toolbar, const Processing& spectrum,
                   StatusBarPresenter& status)
    : c_(controls), toolbar_(toolbar), spectrum_(spectrum), status_(status) {}

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

void PlotView::ZoomDbPreset(int index, float y) {
  SetPrevious();
  ViewRect view = Window();
  view.Height = DbPresetHeight(index);
  view.Top = y - view.Height / 2.0f;
  ApplyWindow(view);
  view_.DBDivIndex = static_cast<std::int16_t>(index);
  UpdateView();
}

void PlotView::ZoomSpanPreset(int index, float x) {
  SetPrevious();
  ViewRect view = Window();
  view.Width = SpanPresetWidth(index);
  view.Left = x - view.Width / 2.0f;
  ApplyWindow(view);
  view_.SpanIndex = static_cast<std::int16_t>(index);
  UpdateView();
}

void PlotView::SetSpanCaptions(const std::array<std::string, kSpanPresetCount>& captions) {
  for (std::size_t i = 0; i < kSpanPresetCount; ++i) {
    const QString caption = QString::fromStdString(captions[i]);
    c_.mnuViewFB[i]->setText(caption);
    toolbar_.tbMain->SetButtonMenuText(QStringLiteral("FSpan"), static_cast<int>(i + 1), caption);
  }
}

void PlotView::ZoomOutView(float x, float y) {
  SetPrevious();
  view_.ZoomFactor = kZoomOutFactor;
  const auto zoomed = ZoomedOut(Window(), x, y, spectrum_.Amplitude().AmpRange);
  if (zoomed) {
    ApplyWindow(*zoomed);
    UpdateView();
    return;
  }
  ApplyWindow(view_.PreviousView);
  status_.ShowStatusMessage(QString::fromLatin1(kZoomOutLimitMessage));
  forms::Beep();
}

void PlotView::ZoomInView(float x, float y) {
  SetPrevious();
  view_.ZoomFactor = kZoomInRecorded;
  const auto zoomed = ZoomedIn(Window(), x, y, view_.MinViewWidth);
  if (zoomed) {
    ApplyWindow(*zoomed);
    UpdateView();
    return;
  }
  status_.ShowStatusMessage(QString::fromLatin1(kZoomInLimitMessage));
  forms::Beep();
}

void PlotView::CenterView(float x, float y) {
  SetPrevious();
  ApplyWindow(CentredOn(Window(), x, y));
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
}

void PlotView::PanView(int keyCode) {
  SetPrevious();
  ApplyWindow(Panned(Window(), keyCode, view_.PanStepX, view_.PanStepY));
  UpdateView();
}

void PlotView::MoveCursor(float x, float y) const {
  const forms::ScaleMapping mapping = Mapping();
  const double fx = mapping.PixelX(x);
  const double fy = mapping.PixelY(y);
  if (!std::isfinite(fx) || !std::isfinite(fy)) return;
  const auto px = RoundHalfEven(std::clamp(fx, -kPointerReach, kPointerReach));
  const auto py = RoundHalfEven(std::clamp(fy, -kPointerReach, kPointerReach));
  QCursor::setPos(c_.picSpectrum->mapToGlobal(QPoint(static_cast<int>(px), static_cast<int>(py))));
}

bool PlotView::InRange(float x, float y) const { return Contains(Window(), x, y); }

void PlotView::ShowCrosshair() { c_.picSpectrum->SetMousePointer(forms::vbCrosshair); }

void PlotView::ShowPointer(const QCursor& pointer) {
  c_.picSpectrum->SetMouseIcon(pointer);
  c_.picSpectrum->SetMousePointer(forms::vbCustom);
}

bool PlotView::CustomPointer() const { return c_.picSpectrum->MousePointer() == forms::vbCustom; }

void PlotView::PlaceLabel(QWidget& label, float x, float y) const {
  const forms::PictureBox& pic = *c_.picSpectrum;
  // In twips within the plot.
  const double cx = PixelsToTwips(pic.PixelX(x));
  const double cy = PixelsToTwips(pic.PixelY(y));
  const double width = PixelsToTwips(label.width());
  const double height = PixelsToTwips(label.height());
  const double windowWidth = PixelsToTwips(pic.window()->width());
  const double plotTop = PixelsToTwips(pic.y());
  const double plotHeight = PixelsToTwips(pic.height());
  const double left = cx + width + kLabelGap > windowWidth ? cx - width : cx + kLabelGap;
  const double top =
      cy + height + kLabelGap > plotHeight ? cy - height / 2 + kLabelBelowOffset : plotTop + cy + kLabelGap;
  const int px = std::clamp(pic.x() + static_cast<int>(TwipsToPixels(left)), pic.x(),
                            std::max(pic.x(), pic.x() + pic.width() - label.width()));
  const int py = std::clamp(static_cast<int>(TwipsToPixels(top)), pic.y(),
                            std::max(pic.y(), pic.y() + pic.height() - label.height()));
  label.move(px, py);
}

QWidget* PlotView::KeyboardHome() const { return c_.picSpectrum; }

void PlotView::mnuViewCopy_Click() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->clear();
  clipboard->setImage(c_.picSpectrum->Image());
}

}  // namespace specterm
