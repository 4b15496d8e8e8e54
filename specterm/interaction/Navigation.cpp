// Point and peak navigation: stepping through the points of the selected
// trace row in point order or in amplitude order, returning to the last
// selected point, jumping to a typed point or location, picking the point
// nearest to a click, and the selected and reference locations. The
// selected point is circled by the view's selection marker.

#include "interaction/Navigation.h"

#include "forms/Dialogs.h"
#include "forms/KeyedToolBar.h"
#include "interaction/PeakRanking.h"
#include "processing/Processing.h"
#include "vbformat/VbFormat.h"
#include "view/PlotView.h"
#include "view/ToolbarControls.h"

#include <QAction>
#include <QTimer>

#include <cmath>

namespace specterm {
namespace {

constexpr std::int32_t kLastPoint = static_cast<std::int32_t>(kPointCount);

}  // namespace

Navigation::Navigation(NavigationControls& controls, ToolbarControls& toolbar, const Processing& spectrum,
                       PlotView& view, StatusBarPresenter& status)
    : c_(controls), toolbar_(toolbar), spectrum_(spectrum), view_(view), status_(status) {
  // Before any data set, the selected location is the start-up band's
  // centre at 0 dB.
  const SampleBlock& block = spectrum_.Block();
  selection_.SelectedX = followedX_ = static_cast<float>(block.CenterFreq * static_cast<double>(block.SpanScale));
  selection_.SelectedY = followedY_ = 0.0f;
}

bool Navigation::SnapToPoint() const { return c_.mnuOptionsSnap->isChecked(); }

bool Navigation::SelectionPanelOn() const { return c_.mnuOptionsPanel->isChecked(); }

void Navigation::SetSelectedLocation(float x, float y) {
  selection_.SelectedX = x;
  selection_.SelectedY = y;
}

void Navigation::SetReferenceLocation(float x, float y) {
  selection_.ClickX = x;
  selection_.ClickY = y;
  // Until the pointer, a key or a selection moves it, the selected location
  // follows the reference location, so that a preset or zoom from the menu
  // centres on the capture rather than on frequency 0.
  if (selection_.SelectedX == followedX_ && selection_.SelectedY == followedY_) {
    selection_.SelectedX = followedX_ = x;
    selection_.SelectedY = followedY_ = y;
  }
}

void Navigation::TakeReferenceLocation() {
  if (selection_.ClickX == kNoLocation && selection_.ClickY == kNoLocation) {
    selection_.ClickX = static_cast<float>(spectrum_.Block().CenterFreq * spectrum_.Block().SpanScale);
    selection_.ClickY = 0.0f;
  }
  selection_.SelectedX = selection_.ClickX;
  selection_.SelectedY = selection_.ClickY;
}

void Navigation::SetMinPeakThreshold(float dB) {
  selection_.MinPeakThreshold = dB;
  view_.SetThreshold(dB);
  emit ThresholdChanged(dB);
}

QPointF Navigation::Pick(float x, float y) {
  c_.timerCoord->stop();
  GetNearestPoint(x, y);
  if (SnapToPoint()) view_.MoveCursor(x, y);
  // The click becomes the reference location of the presets and entry
  // fields.
  selection_.ClickX = x;
  selection_.ClickY = y;
  return {x, y};
}

bool Navigation::MovesPossible() const { return selection_.SelectedTrace != -1 && spectrum_.Traces().HaveData; }

std::span<const float> Navigation::RowAmplitudes(int row) const {
  return spectrum_.Traces().TraceY[static_cast<std::size_t>(row)];
}

float Navigation::PointX(int row, std::int32_t point) const {
  return spectrum_.Traces().TraceX[static_cast<std::size_t>(row)][static_cast<std::size_t>(point - 1)];
}

float Navigation::PointY(int row, std::int32_t point) const {
  return -spectrum_.Traces().TraceY[static_cast<std::size_t>(row)][static_cast<std::size_t>(point - 1)];
}

void Navigation::ShowMarker() {
  view_.ShowMarker({selection_.MarkerShown, selection_.SelectedPoint, selection_.SelectedTrace});
}

void Navigation::BringIntoView(bool hideMarker) {
  if (view_.InRange(selection_.SelectedX, selection_.SelectedY)) return;
  if (hideMarker) {
    selection_.MarkerShown = false;
    ShowMarker();
  }
  if (view_.Window().Height < spectrum_.Amplitude().AmpRange) {
    // Zoomed in: the view keeps its size and centres on the location.
    view_.CenterView(selection_.SelectedX, selection_.SelectedY);
    return;
  }
  forms::Beep();
}

void Navigation::MoveTo(std::int32_t target) {
  if (!MovesPossible() || target < 1 || target > kLastPoint) return;
  selection_.LastSelectedTrace = selection_.SelectedTrace;
  selection_.LastSelectedPoint = selection_.SelectedPoint;
  selection_.PickSetsLast = false;
  selection_.SelectedPoint = target;
  selection_.SelectedX = PointX(selection_.SelectedTrace, target);
  selection_.SelectedY = PointY(selection_.SelectedTrace, target);
  // The marker moves to the point, and with it into view when the view
  // follows the point.
  selection_.MarkerShown = true;
  ShowMarker();
  BringIntoView(false);
  view_.MoveCursor(selection_.SelectedX, selection_.SelectedY);
  if (target != selection_.LastSelectedPoint) emit SelectionChanged();
}

void Navigation::MoveFirstPoint() {
  if (!MovesPossible()) return;
  MoveTo(selection_.MoveType == 0 ? 1
                                  : GetLowest(RowAmplitudes(selection_.SelectedTrace), selection_.MinPeakThreshold));
}

void Navigation::MoveNextPoint() {
  if (!MovesPossible()) return;
  const std::int32_t point = selection_.SelectedPoint;
  if (selection_.MoveType == 0)
    MoveTo(point <= 0 || point >= kLastPoint ? 1 : point + 1);
  else
    MoveTo(GetPreviousHighest(RowAmplitudes(selection_.SelectedTrace), point));
}

void Navigation::MovePreviousPoint() {
  if (!MovesPossible()) return;
  const std::int32_t point = selection_.SelectedPoint;
  if (selection_.MoveType == 0)
    MoveTo(point <= 1 || point > kLastPoint ? kLastPoint : point - 1);
  else
    MoveTo(GetNextHighest(RowAmplitudes(selection_.SelectedTrace), point));
}

void Navigation::MoveLastPoint() {
  if (!MovesPossible()) return;
  MoveTo(selection_.MoveType == 0 ? kLastPoint : GetNextHighest(RowAmplitudes(selection_.SelectedTrace)));
}

void Navigation::MoveSpecificPoint(std::int32_t point) { MoveTo(point); }

void Navigation::MoveCurPoint() {
  if (selection_.LastSelectedPoint <= 0 || selection_.LastSelectedTrace < 0 || !spectrum_.Traces().HaveData) return;
  selection_.PickSetsLast = true;
  selection_.SelectedX = PointX(selection_.LastSelectedTrace, selection_.LastSelectedPoint);
  selection_.SelectedY = PointY(selection_.LastSelectedTrace, selection_.LastSelectedPoint);
  BringIntoView(true);
  view_.MoveCursor(selection_.SelectedX, selection_.SelectedY);
}

void Navigation::MoveToLocation(float x, float y) {
  selection_.SelectedX = x;
  selection_.SelectedY = y;
  BringIntoView(true);
  view_.MoveCursor(selection_.SelectedX, selection_.SelectedY);
}

void Navigation::GetNearestPoint(float& x, float& y) {
  SelectionState& s = selection_;
  if ((s.LastSelectedPoint == 0 && s.SelectedPoint > 0) || (s.LastSelectedPoint != s.SelectedPoint && s.PickSetsLast))
    s.LastSelectedPoint = s.SelectedPoint;
  s.PickSetsLast = true;

  const PickBox box = view_.PickAt(x, y);
  const TraceStore& traces = spectrum_.Traces();
  const bool snap = SnapToPoint();
  const std::string xText = snap ? std::string() : vb::Format(x, view_.AmpFormat());
  const std::string yText = snap ? std::string() : vb::Format(y, view_.AmpFormat());
  int foundRow = -1;
  s.PickedPoint = 0;
  double nearest = 0;
  for (int row = 0; row < static_cast<int>(kTraceRows) && traces.HaveData; ++row) {
    if (!spectrum_.TraceShown(row)) continue;
    for (std::int32_t i = 1; i <= kLastPoint; ++i) {
      const float f = PointX(row, i);
      const float py = PointY(row, i);
      if (py < box.Top || py > box.Bottom || f < box.Left || f > box.Right) continue;
      if (snap) {
        // The nearest, frequency units and dB mixed as they are; the first
        // of equals wins.
        const double dx = static_cast<double>(x) - f;
        const double dy = static_cast<double>(y) - py;
        const double distance = std::sqrt(dx * dx + dy * dy);
        if (s.PickedPoint != 0 && !(distance < nearest)) continue;
        nearest = distance;
      } else if (vb::Format(f, view_.AmpFormat()) != xText || vb::Format(py, view_.AmpFormat()) != yText) {
        // Without snapping a point matches only at the legend's precision;
        // the last match wins.
        continue;
      }
      s.PickedPoint = i;
      foundRow = row;
    }
  }

  if (s.PickedPoint > 0) {
    // The new point is selected, circled and brought into view.
    const bool changed = s.PickedPoint != s.SelectedPoint || foundRow != s.SelectedTrace;
    s.LastSelectedTrace = s.SelectedTrace;
    x = PointX(foundRow, s.PickedPoint);
    y = PointY(foundRow, s.PickedPoint);
    s.SelectedX = x;
    s.SelectedY = y;
    s.SelectedTrace = static_cast<std::int16_t>(foundRow);
    s.SelectedPoint = s.PickedPoint;
    s.MarkerShown = true;
    ShowMarker();
    BringIntoView(false);
    // The moves go on in the row picked.
    SetMoveButtons();
    if (changed) emit SelectionChanged();
  } else {
    s.MarkerShown = false;
    ShowMarker();
  }
  const bool selected = s.SelectedPoint != 0;
  c_.mnuViewCurPoint->setEnabled(selected);
  toolbar_.tbMain->SetEnabled(QStringLiteral("CurPoint"), selected);
}

}  // namespace specterm
