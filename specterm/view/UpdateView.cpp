// The one drawing routine of the analyzer: the whole plot from the trace
// store, the view window, the palette in use, the threshold, the cursors and
// the selection. Every change of what is shown ends here.

#include "forms/KeyedStatusBar.h"
#include "forms/PictureBox.h"
#include "modems/frmMain.h"
#include "view/PlotRenderer.h"
#include "view/ViewModel.h"

#include <QAction>

namespace specterm {

void frmMain::UpdateView() {
  Selection.MarkerErased = true;
  if (View.ScrollBarsStale) {
    SetScrollBars();
    View.ScrollBarsStale = false;
  }

  const DerivedParameters params = DeriveParameters(picSpectrum->ScaleWidth(), picSpectrum->ScaleHeight());
  SetChecksFB(params.Width.SpanCheck);
  SetChecksDB(params.Height.DbCheck);
  View.AmpFormat = params.Height.AmpFormat;
  View.TraceWidth = params.Height.TraceWidth;
  View.PanStepX = params.PanStepX;
  View.PanStepY = params.PanStepY;

  PlotScene scene;
  scene.Traces = &Spectrum->Traces;
  scene.TraceOn = {mnuToolsCurrentTrace->isChecked(), mnuToolsLastTrace->isChecked(), mnuToolsVideoAverage->isChecked(),
                   mnuToolsPeakHold->isChecked()};
  scene.Colors = &Palette.Palettes[static_cast<std::size_t>(Palette.CurrentPalette)];
  const SampleBlock& block = Spectrum->Block;
  scene.BandLow = block.BandLow;
  scene.BandHigh = block.BandHigh;
  scene.SpanScale = block.SpanScale;
  scene.FreqFormat = block.FreqFormat;
  scene.MinPeakThreshold = Selection.MinPeakThreshold;
  scene.CursorsOn = mnuViewCursors->isChecked();
  scene.CursorPos = Cursors.CursorPos;
  scene.MarkerShown = Selection.MarkerShown;
  scene.SelectedPoint = Selection.SelectedPoint;
  scene.SelectedTrace = Selection.SelectedTrace;
  scene.PickLeft = Selection.PickLeft;
  scene.PickRight = Selection.PickRight;
  scene.PickTop = Selection.PickTop;
  scene.PickBottom = Selection.PickBottom;

  const PlotMarks marks = DrawPlot(*picSpectrum, scene, params);
  Selection.PickLeft = marks.PickLeft;
  Selection.PickRight = marks.PickRight;
  Selection.PickTop = marks.PickTop;
  Selection.PickBottom = marks.PickBottom;
  if (marks.MarkerDrawn) Selection.MarkerErased = false;

  sbStatus->SetPanelText(QStringLiteral("Status"), QString());
  SetMoveButtons();
}

void frmMain::SetPrevious() {
  View.PreviousView = {picSpectrum->ScaleLeft(), picSpectrum->ScaleTop(), picSpectrum->ScaleWidth(),
                       picSpectrum->ScaleHeight()};
}

}  // namespace specterm
