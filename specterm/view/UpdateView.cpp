// The one drawing routine of the analyzer: the whole plot from the trace
// store, the view window, the palette in use, the threshold, the cursors and
// the selection. Every change of what is shown ends here.

#include "forms/PictureBox.h"
#include "interaction/Interaction.h"
#include "processing/Processing.h"
#include "view/PlotRenderer.h"
#include "view/PlotView.h"
#include "view/StatusBarPresenter.h"
#include "view/ViewModel.h"
#include "window/FormControls.h"

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

  const SelectionState& selection = input_.Selection();
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
  scene.MinPeakThreshold = selection.MinPeakThreshold;
  scene.CursorsOn = input_.CursorDisplay();
  scene.CursorPos = input_.Cursors().CursorPos;
  scene.MarkerShown = selection.MarkerShown;
  scene.SelectedPoint = selection.SelectedPoint;
  scene.SelectedTrace = selection.SelectedTrace;
  scene.PickLeft = selection.PickLeft;
  scene.PickRight = selection.PickRight;
  scene.PickTop = selection.PickTop;
  scene.PickBottom = selection.PickBottom;

  // The picture is cleared: whatever marker was on it is gone.
  input_.PlotRedrawn(DrawPlot(*c_.picSpectrum, scene, params));

  status_.SetStatusText(QString());
  input_.SetMoveButtons();
}

void PlotView::SetPrevious() { view_.PreviousView = Window(); }

}  // namespace specterm
