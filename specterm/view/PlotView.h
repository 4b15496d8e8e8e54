#pragma once

// The plot: its view window and every operation that moves it (presets,
// zoom, centre, fit, previous view, pan, the two scroll bars), the two
// colour palettes, the pointer's placement on a plot location, and the one
// drawing routine, UpdateView, that every change of what is shown ends in.

#include "processing/SpectrumUpdate.h"
#include "view/Palettes.h"
#include "view/ViewState.h"

#include <array>
#include <string>

namespace specterm {

struct FormControls;
class Interaction;
class Processing;
class StatusBarPresenter;

class PlotView {
 public:
  PlotView(FormControls& controls, Processing& spectrum, Interaction& input, StatusBarPresenter& status);

  // The start-up view: the initial band and amplitude range, the scroll
  // bars' ranges, and the viewing palette's selection marker.
  void Initialize();

  // ----- Drawing -----
  void UpdateView();
  void SetPrevious();

  // ----- The view window -----
  ViewRect Window() const;
  void SetChecksDB(int index);
  void SetChecksFB(int index);
  void mnuViewDBB_Click(int index);
  void mnuViewFB_Click(int index);
  // Zoom and centre about the selected location; fit and previous view.
  void ZoomOutView();
  void ZoomInView();
  void CenterView();
  void FitView();
  void PreviousView();
  void PanView(int keyCode, bool moveMouse);
  // The whole band and amplitude range.
  ViewRect FitWindow() const;
  // A view the zoom gestures and the cursors chose: saved as the previous
  // view, applied and drawn; the click in progress is left alone.
  void ZoomToView(const ViewRect& view);
  // Puts the mouse pointer on a plot location; where the platform refuses
  // to move the pointer, nothing happens.
  void MoveCursor(float x, float y) const;
  // The selected location lies within the view, bounds included.
  bool InRange() const;

  // ----- Scroll bars -----
  void SetScrollBars();
  void hScroll_Change();
  void hScroll_Scroll();
  void vScroll_Change();
  void vScroll_Scroll();
  // A thumb let go where it was taken ends the drag without a change.
  void ScrollThumbReleased(bool moved);
  // Ranges and values written after an amplitude re-fit; the scroll
  // handlers stay still.
  void ApplyScrollSettings(const ScrollSettings& scroll);

  // ----- Palettes -----
  void mnuOptionsPalette_Click(int index);
  void EditPaletteColor(int palette, int slot);
  const std::array<PaletteColors, 2>& Palettes() const { return palette_.Palettes; }
  void SetPalettes(const std::array<PaletteColors, 2>& palettes) { palette_.Palettes = palettes; }
  int CurrentPalette() const { return palette_.CurrentPalette; }

  // ----- Derived parameters and bookkeeping of the last changes -----
  const ViewRect& PreviousViewRect() const { return view_.PreviousView; }
  float ZoomFactor() const { return view_.ZoomFactor; }
  int DBDivIndex() const { return view_.DBDivIndex; }
  int SpanIndex() const { return view_.SpanIndex; }
  double MinViewWidth() const { return view_.MinViewWidth; }
  const std::string& AmpFormat() const { return view_.AmpFormat; }
  int TraceWidth() const { return view_.TraceWidth; }
  float PanStepX() const { return view_.PanStepX; }
  float PanStepY() const { return view_.PanStepY; }
  bool ScrollDragging() const { return view_.ScrollDragging; }
  ScrollArrows ArrowsH() const { return view_.ArrowsH; }
  ScrollArrows ArrowsV() const { return view_.ArrowsV; }
  int LastScrollValueH() const { return view_.LastScrollValueH; }
  int LastScrollValueV() const { return view_.LastScrollValueV; }

 private:
  void ApplyWindow(const ViewRect& view);
  // A bar's arrow or page step pans the view one way or the other; at an
  // end of the bar only the arrow leading away is shown.
  void ScrollStep(bool horizontal, int value);
  void RememberScrollValues();

  FormControls& c_;
  Processing& spectrum_;
  Interaction& input_;
  StatusBarPresenter& status_;
  ViewState view_;
  PaletteState palette_;
};

}  // namespace specterm
