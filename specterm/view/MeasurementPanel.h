#pragma once

// The "Measurements" dock: the measurements of the shown trace row between
// the two cursors (band, band power, noise per point, C/N, occupied
// bandwidth, peak in band) and the row's peak table. It measures again on
// each data set, cursor move, trace switch, selection and threshold change
// while it is shown; a click on a row of the peak table asks for that point
// to be selected; its text copies as tab-separated lines with units (its
// context menu, and Ctrl+C while it has the focus). Levels are the
// analyzer's dB, relative to the modem's sample scale.
//
// What it reads of the cursors and the selection is handed over as values
// by the window, through the inputs function.

#include "processing/Measurements.h"
#include "view/DockPlacement.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

class QAction;
class QDockWidget;
class QMainWindow;
class QTableWidget;

namespace specterm {

class Processing;

// The View menu's item, the dock with its two tables and their context
// menu's item.
struct MeasurementControls {
  QAction* mnuViewMeasurements = nullptr;
  QDockWidget* dockMeasurements = nullptr;
  QTableWidget* tblMeasurements = nullptr;  // name and value of each band measurement
  QTableWidget* tblPeaks = nullptr;         // rank, point, frequency, level, below the highest
  QAction* mnuMeasurementsCopy = nullptr;
};

// What the measurements take of the cursors and the selection.
struct MeasurementInputs {
  int Row = 0;  // the selected trace row, else the current one
  bool CursorsPlaced = false;
  bool CursorsShown = false;
  float Cursor1X = 0;  // plot x
  float Cursor2X = 0;
  float MinPeakThreshold = 0;
};

class MeasurementPanel : public QObject {
  Q_OBJECT

 public:
  using InputsFn = std::function<MeasurementInputs()>;

  MeasurementPanel(MeasurementControls& controls, const Processing& spectrum);

  // Creates the dock and its tables in the window, right of the plot and
  // hidden.
  void BuildDock(QMainWindow& window);
  // Where the cursors and the selection are read from.
  void SetInputs(InputsFn inputs) { inputs_ = std::move(inputs); }

  // Measures again and shows it, while the dock is shown.
  void Refresh();
  // "Measurements": shows or hides the dock.
  void mnuViewMeasurements_Click();
  bool Shown() const;

  // The measurements as of now (whether or not the dock is shown); none
  // before the first data set.
  std::optional<Measurements> Current() const;
  // The band's values as one line of text, for a caption.
  QString CaptionLine() const;
  // The dock's text: tab-separated lines with units.
  QString CopyText() const;
  void CopyToClipboard() const;

  // The dock's visibility and place, as the window settings keep them.
  void ApplyPlacement(const DockPlacement& place);
  DockPlacement Placement() const;

 signals:
  // A row of the peak table was clicked: select this point (1-based).
  void PointChosen(std::int32_t point);
  // The dock's tables took or lost the keyboard.
  void FocusChanged(bool in);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  MeasurementInputs Inputs() const;
  // The dock's width in pixels before it has one of its own.
  int DefaultWidth() const;
  std::optional<Measurements> MeasureWith(const MeasurementInputs& inputs) const;
  void ShowMeasurements(const std::optional<Measurements>& measured, const MeasurementInputs& inputs);
  void SetValue(int row, const QString& text);
  bool InDock(const QObject* object) const;
  // Puts this filter in front of the application's others, so that Ctrl+C
  // in the dock is the dock's.
  void TakeCopyKey();

  MeasurementControls& c_;
  const Processing& spectrum_;
  QMainWindow* window_ = nullptr;
  InputsFn inputs_;
  std::optional<Measurements> shown_;
  DockPlacement applied_;
  bool everShown_ = false;
};

}  // namespace specterm
