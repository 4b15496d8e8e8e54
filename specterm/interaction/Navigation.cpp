// Point and peak navigation: stepping through the points of the selected
// trace row in point order or in amplitude order, returning to the last
// selected point, jumping to a typed point or location, and picking the
// point nearest to a click. The selected point is circled by the view's
// selection marker.

#include "base/Twips.h"
#include "forms/Dialogs.h"
#include "forms/KeyedToolBar.h"
#include "forms/PictureBox.h"
#include "interaction/Interaction.h"
#include "interaction/PeakRanking.h"
#include "processing/Processing.h"
#include "vbformat/VbFormat.h"
#include "view/Icons.h"
#include "view/PlotRenderer.h"
#include "view/PlotView.h"
#include "view/StatusBarPresenter.h"
#include "view/ViewModel.h"
#include "window/FormControls.h"

#include <QAction>
#include <QCursor>
#include <QLineEdit>

#include <cmath>

namespace specterm {
namespace {

constexpr std::int32_t kLastPoint = static_cast<std::int32_t>(kPointCount);

}  // namespace

bool Interaction::MovesPossible() const { return selection_.SelectedTrace != -1 && spectrum_.Traces().HaveData; }

std::span<const float> Interaction::RowAmplitudes(int row) const {
  return spectrum_.Traces().TraceY[static_cast<std::size_t>(row)];
}

float Interaction::PointX(int row, std::int32_t point) const {
  return spectrum_.Traces().TraceX[static_cast<std::size_t>(row)][static_cast<std::size_t>(point - 1)];
}

float Interaction::PointY(int row, std::int32_t point) const {
  return -spectrum_.Traces().TraceY[static_cast<std::size_t>(row)][static_cast<std::size_t>(point - 1)];
}

void Interaction::ShowMarker() {
  view_.ShowMarker({selection_.MarkerShown, selection_.SelectedPoint, selection_.SelectedTrace});
}

void Interaction::BringIntoView(bool hideMarker) {
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

void Interaction::MoveTo(std::int32_t target) {
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
}

void Interaction::MoveFirstPoint() {
  if (!MovesPossible()) return;
  MoveTo(selection_.MoveType == 0 ? 1
                                  : GetLowest(RowAmplitudes(selection_.SelectedTrace), selection_.MinPeakThreshold));
}

void Interaction::MoveNextPoint() {
  if (!MovesPossible()) return;
  const std::int32_t point = selection_.SelectedPoint;
  if (selection_.MoveType == 0)
    MoveTo(point <= 0 || point >= kLastPoint ? 1 : point + 1);
  else
    MoveTo(GetPreviousHighest(RowAmplitudes(selection_.SelectedTrace), point));
}

void Interaction::MovePreviousPoint() {
  if (!MovesPossible()) return;
  const std::int32_t point = selection_.SelectedPoint;
  if (selection_.MoveType == 0)
    MoveTo(point <= 1 || point > kLastPoint ? kLastPoint : point - 1);
  else
    MoveTo(GetNextHighest(RowAmplitudes(selection_.SelectedTrace), point));
}

void Interaction::MoveLastPoint() {
  if (!MovesPossible()) return;
  MoveTo(selection_.MoveType == 0 ? kLastPoint : GetNextHighest(RowAmplitudes(selection_.SelectedTrace)));
}

void Interaction::MoveSpecificPoint(std::int32_t point) { MoveTo(point); }

void Interaction::MoveCurPoint() {
  if (selection_.LastSelectedPoint <= 0 || selection_.LastSelectedTrace < 0 || !spectrum_.Traces().HaveData) return;
  selection_.PickSetsLast = true;
  selection_.SelectedX = PointX(selection_.LastSelectedTrace, selection_.LastSelectedPoint);
  selection_.SelectedY = PointY(selection_.LastSelectedTrace, selection_.LastSelectedPoint);
  BringIntoView(true);
  view_.MoveCursor(selection_.SelectedX, selection_.SelectedY);
}

void Interaction::MoveSpecificLocationX() {
  const SampleBlock& block = spectrum_.Block();
  selection_.SelectedX =
      static_cast<float>(vb::Val(c_.txtFreq->text().toStdString()) * 10.0 * static_cast<double>(block.SpanScale));
  selection_.SelectedY = static_cast<float>(-vb::Val(status_.PanelText(QStringLiteral("Amplitude")).toStdString()));
  BringIntoView(true);
  view_.MoveCursor(selection_.SelectedX, selection_.SelectedY);
}

void Interaction::MoveSpecificLocationY() {
  const SampleBlock& block = spectrum_.Block();
  selection_.SelectedY = static_cast<float>(-vb::Val(c_.txtAmp->text().toStdString()));
  selection_.SelectedX = static_cast<float>(vb::Val(status_.PanelText(QStringLiteral("Frequency")).toStdString()) *
                                            10.0 * static_cast<double>(block.SpanScale));
  BringIntoView(true);
  view_.MoveCursor(selection_.SelectedX, selection_.SelectedY);
}

void Interaction::GetNearestPoint(float& x, float& y) {
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
  } else {
    s.MarkerShown = false;
    ShowMarker();
  }
  const bool selected = s.SelectedPoint != 0;
  c_.mnuViewCurPoint->setEnabled(selected);
  c_.tbMain->SetEnabled(QStringLiteral("CurPoint"), selected);
}

void Interaction::ClickAtSelection() {
  picSpectrum_MouseDown(forms::vbLeftButton, 0, selection_.SelectedX, selection_.SelectedY);
  // A simulated click has no release: it ends here, so the capture cycle
  // goes on.
  EndClick();
}

void Interaction::mnuViewFirstPoint_Click() {
  MoveFirstPoint();
  ClickAtSelection();
}

void Interaction::mnuViewNextPoint_Click() {
  MoveNextPoint();
  ClickAtSelection();
}

void Interaction::mnuViewPreviousPoint_Click() {
  MovePreviousPoint();
  ClickAtSelection();
}

void Interaction::mnuViewLastPoint_Click() {
  MoveLastPoint();
  ClickAtSelection();
}

void Interaction::mnuViewCurPoint_Click() {
  MoveCurPoint();
  ClickAtSelection();
}

void Interaction::mnuViewThreshold_Click() {
  view_.ShowPointer(c_.imgCursors.Cursor(QString::fromLatin1(kPointerPeakThreshold)));
  mouse_.PositioningThreshold = true;
  // A cursor armed before gives way.
  mouse_.PositioningCursor = 0;
  for (QAction* item : c_.mnuViewCursor) item->setChecked(false);
}

void Interaction::ReturnPointerToToolbar() {
  const auto x = RoundHalfEven(static_cast<double>(RoundHalfEven(commands_.ToolbarPressX)) / kTwipsPerPixel);
  const auto y = RoundHalfEven(static_cast<double>(RoundHalfEven(commands_.ToolbarPressY)) / kTwipsPerPixel);
  QCursor::setPos(c_.tbMain->mapToGlobal(QPoint(static_cast<int>(x), static_cast<int>(y))));
}

bool Interaction::PointButtonClick(const QString& key) {
  void (Interaction::*move)() = nullptr;
  if (key == QLatin1String("FirstPoint"))
    move = &Interaction::MoveFirstPoint;
  else if (key == QLatin1String("NextPoint"))
    move = &Interaction::MoveNextPoint;
  else if (key == QLatin1String("PreviousPoint"))
    move = &Interaction::MovePreviousPoint;
  else if (key == QLatin1String("LastPoint"))
    move = &Interaction::MoveLastPoint;
  else if (key == QLatin1String("CurPoint"))
    move = &Interaction::MoveCurPoint;
  else
    return false;
  (this->*move)();
  ClickAtSelection();
  ReturnPointerToToolbar();
  return true;
}

}  // namespace specterm
