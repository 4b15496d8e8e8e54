#pragma once

// Point and peak navigation: the selection and the reference location;
// stepping through the points of the selected trace row in point order or
// in amplitude order, returning to the last selected point, jumping to a
// typed point or location, picking the point nearest to a click; the
// selection's read-outs (status panels and the label beside it), the move
// type with the labels of the move commands, the minimum peak threshold and
// the options "Snap to Nearest Point" and "Display Selection Panel". The
// selected point is circled by the view's marker.

#include "interaction/InteractionState.h"

#include <QObject>
#include <QPointF>
#include <QString>

#include <cstdint>
#include <span>

class QAction;
class QComboBox;
class QPushButton;
class QTimer;

namespace specterm {

class PlotView;
struct ToolbarControls;
class Processing;
class StatusBarPresenter;

// The controls the navigation drives: the View menu's move commands, the
// move type, the two options, and the selection label with its timer. The
// point buttons of the main toolbar carry the same commands.
struct NavigationControls {
  QAction* mnuViewFirstPoint = nullptr;
  QAction* mnuViewNextPoint = nullptr;
  QAction* mnuViewPreviousPoint = nullptr;
  QAction* mnuViewLastPoint = nullptr;
  QAction* mnuViewCurPoint = nullptr;
  QAction* mnuViewPeakPoint = nullptr;
  QComboBox* comboPeakPoint = nullptr;
  QAction* mnuOptionsSnap = nullptr;
  QAction* mnuOptionsPanel = nullptr;
  // A floating label over the plot for the selection read-out.
  QPushButton* cmdCoord = nullptr;
  QTimer* timerCoord = nullptr;
};

class Navigation : public QObject {
  Q_OBJECT

 public:
  Navigation(NavigationControls& controls, ToolbarControls& toolbar, const Processing& spectrum, PlotView& view,
             StatusBarPresenter& status);

  const SelectionState& Selection() const { return selection_; }
  bool SnapToPoint() const;
  bool SelectionPanelOn() const;

  // The stored options, move type and threshold; the selection starts on
  // the first trace row shown.
  void ApplySettings(bool snapToPoint, bool selectionPanel, int pointMoves, float peakThreshold);

  // ----- The selected and the reference location -----
  // Where the pointer, a key or a move puts the selected location.
  void SetSelectedLocation(float x, float y);
  // After each data set: the reference location of the presets and the
  // entry fields. Until the pointer, a key or a selection moves it, the
  // selected location follows it.
  void SetReferenceLocation(float x, float y);
  // The selected location goes to the reference location, which is the
  // capture's centre at 0 dB while there is none.
  void TakeReferenceLocation();
  void SetMinPeakThreshold(float dB);

  // ----- A left click in Select mode -----
  // Picks the point nearest to the click; the click (on the point picked,
  // when snapping) becomes the reference location, which is returned.
  QPointF Pick(float x, float y);
  // The click's read-outs: status panels and, when the option is on, the
  // label beside it.
  void ShowClickReadouts(float x, float y);
  // Hides the label when its time is up.
  void timerCoord_Timer();
  // A command that needs a selected point found none: a notice and a beep.
  void NoSelectedPoint();

  // ----- Moves -----
  // The moves need a trace row and a computed spectrum.
  bool MovesPossible() const;
  void MoveFirstPoint();
  void MoveNextPoint();
  void MovePreviousPoint();
  void MoveLastPoint();
  void MoveSpecificPoint(std::int32_t point);
  // Puts the selected location on the last selected point; the simulated
  // click that follows picks it.
  void MoveCurPoint();
  // A typed location: the selected location goes there.
  void MoveToLocation(float x, float y);

  // ----- The move commands' controls -----
  void comboPeakPoint_Click();
  void mnuViewPeakPoint_Click();
  // The point moves are enabled with a trace row and a spectrum.
  void SetMoveButtons();
  // A trace row was shown or hidden: a last selection on a hidden row is
  // forgotten.
  void TraceSwitched(int row, bool on);

 signals:
  // Another point, or another row, is selected.
  void SelectionChanged();
  // The minimum peak threshold changed.
  void ThresholdChanged(float dB);

 private:
  // A move to a point of the selected row, in the common order: record the
  // selection left, select, circle, bring into view, move the pointer.
  void MoveTo(std::int32_t target);
  // Centres a zoomed-in view on a selected location that left it, or beeps.
  void BringIntoView(bool hideMarker);
  void ShowMarker();
  // The plot x and y (the negated amplitude) of a point of a row.
  float PointX(int row, std::int32_t point) const;
  float PointY(int row, std::int32_t point) const;
  std::span<const float> RowAmplitudes(int row) const;
  // Picks the data point at a plot location; on success x and y become the
  // point's coordinates.
  void GetNearestPoint(float& x, float& y);
  void ShowSelectionPanel(float x, float y, const QString& text);

  NavigationControls& c_;
  ToolbarControls& toolbar_;
  const Processing& spectrum_;
  PlotView& view_;
  StatusBarPresenter& status_;
  SelectionState selection_;
  // The reference location the selected location last followed.
  float followedX_ = 0;
  float followedY_ = 0;
};

}  // namespace specterm
