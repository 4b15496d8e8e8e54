#pragma once

// The plot: its view window and every operation that moves it (presets,
// zoom, centre, fit, previous view, pan, the two scroll bars), the two
// colour palettes, the mouse pointer over it, what is drawn over the traces
// (the overlay, as its owners hand it over) and the one drawing routine,
// UpdateView, that every change of what is shown ends in.
//
// The view calls no one back: an operation about the selected location is
// given the location, and the callers end the click and set the move
// buttons.

#include "processing/SampleBlock.h"
#include "processing/SpectrumUpdate.h"
#include "view/ColumnMap.h"
#include "view/Palettes.h"
#include "view/PlotOverlay.h"
#include "view/ViewState.h"

#include <array>
#include <optional>
#include <string>

class QAction;
class QCursor;
class QMenu;
class QScrollBar;
class QWidget;

namespace forms {
class PictureBox;
struct ScaleMapping;
}  // namespace forms

namespace specterm {

class Processing;
class StatusBarPresenter;
struct ToolbarControls;

// The controls the view drives: the plot, its scroll bars, the preset menus
// with their check marks, the copy, and the palette menus. The preset
// buttons of the main toolbar ("dBperDiv", "FSpan") carry the presets.
struct PlotControls {
  forms::PictureBox* picSpectrum = nullptr;
  QScrollBar* hScroll = nullptr;
  QScrollBar* vScroll = nullptr;
  QMenu* mnuViewDBBMenu = nullptr;
  QMenu* mnuViewFBMenu = nullptr;
  std::array<QAction*, 10> mnuViewDBB{};
  std::array<QAction*, 10> mnuViewFB{};
  QAction* mnuViewCopy = nullptr;
  std::array<QAction*, 2> mnuOptionsPalette{};
  std::array<QMenu*, 2> mnuViewColors{};
  // The colour items per palette, in the order of kColorMenuItems.
  std::array<std::array<QAction*, 8>, 2> mnuOptionsColor{};
};

class PlotView {
 public:
  PlotView(PlotControls& controls, ToolbarControls& toolbar, const Processing& spectrum, StatusBarPresenter& status);

  // The start-up view: the initial band and amplitude range, the scroll
  // bars' ranges, and the viewing palette's selection marker.
  void Initialize();

  // ----- Drawing -----
  // Redraws the whole plot with the overlay as it was last handed over; a
  // gesture's figures do not survive it.
  void UpdateView();
  void SetPrevious();
  // The overlay's parts. The threshold is drawn by the next redraw; the
  // cursors, the marker and the figures at once, inverted over the picture,
  // so that those drawn before go without a redraw.
  void SetThreshold(float minPeakThreshold) { overlay_.MinPeakThreshold = minPeakThreshold; }
  // A line of guidance in the field, drawn from the next redraw on.
  void SetGuidance(const std::string& text) { overlay_.Guidance = text; }
  void ShowCursors(const CursorLines& cursors);
  void ShowMarker(const SelectionMarker& marker);
  void ShowFigures(const GestureFigures& figures);
  // What the plot shows over its traces now.
  const PlotOverlay& Overlay() const { return overlay_; }
  // The box about a location in which a click picks a point, 12 pixels
  // each way; it sizes the marker from now on.
  PickBox PickAt(float x, float y);
  // The picture's size in pixels.
  QSize PixelSize() const;
  // The one mapping of plot x to the picture's pixel columns, with the
  // columns of the plotting area: the waterfall below the plot takes it, so
  // that its columns stay under the plot's however the plot maps its view.
  ColumnMap Columns() const;
  // The amplitude range the plotting area shows: the view's, less the band
  // of the frequency labels above the area.
  LevelRange VisibleLevels() const;
  // The one mapping between the plot space and the picture's pixels: the
  // view window onto the plotting area inside the label bands, as the last
  // redraw laid it out. Everything drawn on the plot and every mouse
  // position goes through it; so does whatever lines up with the plot
  // (x to a pixel column of picSpectrum and back: PixelX, X).
  forms::ScaleMapping Mapping() const;

  // ----- The view window -----
  ViewRect Window() const;
  void SetChecksDB(int index);
  void SetChecksFB(int index);
  // The presets: a dB-per-division preset's height about the amplitude y,
  // a span preset's width about the frequency x.
  void ZoomDbPreset(int index, float y);
  void ZoomSpanPreset(int index, float x);
  // Zoom and centre about a location; fit and previous view.
  void ZoomOutView(float x, float y);
  void ZoomInView(float x, float y);
  void CenterView(float x, float y);
  void FitView();
  void PreviousView();
  void PanView(int keyCode);
  // The whole band and amplitude range.
  ViewRect FitWindow() const;
  // A view the zoom gestures and the cursors chose: saved as the previous
  // view, applied and drawn.
  void ZoomToView(const ViewRect& view);
  // Puts the mouse pointer on a plot location; where the platform refuses
  // to move the pointer, nothing happens.
  void MoveCursor(float x, float y) const;
  // A location lies within the view, bounds included.
  bool InRange(float x, float y) const;
  // The span presets' captions for the capture's scale: the View menu's
  // items and the "FSpan" button's menu.
  void SetSpanCaptions(const std::array<std::string, kSpanPresetCount>& captions);
  // Copies the picture to the clipboard.
  void mnuViewCopy_Click();

  // ----- The pointer over the plot -----
  void ShowCrosshair();
  void ShowPointer(const QCursor& pointer);
  bool CustomPointer() const;
  // Puts a label beside a plot location: to its right and below, or to its
  // left or above it where it would pass the window's right edge or the
  // plot's foot; never outside the plot.
  void PlaceLabel(QWidget& label, float x, float y) const;
  // The control that has the window's keys when no entry field has them.
  QWidget* KeyboardHome() const;

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
  // Edits one colour through the colour dialog; true when the background of
  // the palette in use changed.
  bool EditPaletteColor(int palette, int slot);
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
  // Where a marker would be drawn now; none when it is not shown.
  struct MarkerSpot {
    float X = 0;
    float Y = 0;
    float Radius = 0;
    bool operator==(const MarkerSpot&) const = default;
  };
  std::optional<MarkerSpot> SpotOf(const SelectionMarker& marker) const;
  void DrawMarker(const MarkerSpot& spot);
  // What a screen reader says the plot shows: the view's center and span,
  // and the selected point with its level.
  void Describe();

  PlotControls& c_;
  ToolbarControls& toolbar_;
  const Processing& spectrum_;
  StatusBarPresenter& status_;
  ViewState view_;
  PaletteState palette_;
  // What was handed over, and what of it is on the picture now.
  PlotOverlay overlay_;
  PickBox pick_;
  std::optional<MarkerSpot> drawnMarker_;
  std::optional<CursorLines> drawnCursors_;
};

}  // namespace specterm
