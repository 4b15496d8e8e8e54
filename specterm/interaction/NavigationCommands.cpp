// The navigation's controls: the stored options, the move type with the
// labels of the move commands, the enabling of the point moves, and the
// read-outs of a click in the status bar and in the label beside it.

#include "forms/Dialogs.h"
#include "forms/KeyedToolBar.h"
#include "interaction/Navigation.h"
#include "processing/Processing.h"
#include "vbformat/VbFormat.h"
#include "view/PlotView.h"
#include "view/StatusBarPresenter.h"
#include "view/ToolbarControls.h"

#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>

namespace specterm {
namespace {

constexpr const char* kClickAmplitudeFormat = "0.000dB";

// The trace selected at start-up is the first shown in this order.
constexpr int kStartTraceOrder[] = {kTraceCurrent, kTracePeakHold, kTraceVideoAverage, kTracePrevious};

// Labels of the point movement controls for moving by all points and by
// peak points.
struct MoveLabel {
  const char* button;
  const char* allPoints;
  const char* peakPoints;
};

constexpr MoveLabel kButtonLabels[] = {
    {"FirstPoint", "Go to First Point", "Go to Lowest Peak"},
    {"NextPoint", "Go to Next Point", "Go to Next Highest Peak"},
    {"PreviousPoint", "Go to Previous Point", "Go to Previous Highest Peak"},
    {"LastPoint", "Go to Last Point", "Go to Highest Peak"},
    {"CurPoint", "Go to Last Selected Point", "Go to Last Selected Peak"},
};

struct MenuLabel {
  QAction* NavigationControls::*item;
  const char* allPoints;
  const char* peakPoints;
};

const MenuLabel kMenuLabels[] = {
    {&NavigationControls::mnuViewFirstPoint, "Go to First (&Bottom) Point", "Go to Lowest (&Bottom) Peak"},
    {&NavigationControls::mnuViewNextPoint, "Go to &Next Point", "Go to &Next Highest Peak"},
    {&NavigationControls::mnuViewPreviousPoint, "Go to &Previous Point", "Go to &Previous Highest Peak"},
    {&NavigationControls::mnuViewLastPoint, "Go to Last (&Top) Point", "Go to Highest (&Top) Peak"},
    {&NavigationControls::mnuViewCurPoint, "Go to &Last Selected Point", "Go to &Last Selected Peak"},
    // This item names the mode that choosing it switches to.
    {&NavigationControls::mnuViewPeakPoint, "Select &Move by Peak Points", "Select &Move by All Points"},
};

}  // namespace

void Navigation::ApplySettings(bool snapToPoint, bool selectionPanel, int pointMoves, float peakThreshold) {
  c_.mnuOptionsSnap->setChecked(snapToPoint);
  c_.mnuOptionsPanel->setChecked(selectionPanel);
  selection_.MoveType = static_cast<std::int16_t>(pointMoves);
  {
    const QSignalBlocker blocker(c_.comboPeakPoint);
    c_.comboPeakPoint->setCurrentIndex(selection_.MoveType);
  }
  comboPeakPoint_Click();
  SetMinPeakThreshold(peakThreshold);

  // The trace rows are shown by now: the selection starts on the first.
  selection_.SelectedTrace = -1;
  for (const int row : kStartTraceOrder)
    if (spectrum_.TraceShown(row)) {
      selection_.SelectedTrace = static_cast<std::int16_t>(row);
      break;
    }
  SetMoveButtons();
}

void Navigation::comboPeakPoint_Click() {
  selection_.MoveType = static_cast<std::int16_t>(c_.comboPeakPoint->currentIndex() == 1 ? 1 : 0);
  const bool peaks = selection_.MoveType == 1;
  for (const MoveLabel& l : kButtonLabels)
    toolbar_.tbMain->SetToolTip(QString::fromLatin1(l.button), QString::fromLatin1(peaks ? l.peakPoints : l.allPoints));
  for (const MenuLabel& l : kMenuLabels) (c_.*l.item)->setText(QString::fromLatin1(peaks ? l.peakPoints : l.allPoints));
}

void Navigation::mnuViewPeakPoint_Click() {
  selection_.MoveType = static_cast<std::int16_t>(selection_.MoveType == 0 ? 1 : 0);
  c_.comboPeakPoint->setCurrentIndex(selection_.MoveType);
}

void Navigation::SetMoveButtons() {
  const bool enabled = MovesPossible();
  for (const char* key : {"FirstPoint", "NextPoint", "PreviousPoint", "LastPoint"})
    toolbar_.tbMain->SetEnabled(QString::fromLatin1(key), enabled);
  for (QAction* item : {c_.mnuViewFirstPoint, c_.mnuViewNextPoint, c_.mnuViewPreviousPoint, c_.mnuViewLastPoint})
    item->setEnabled(enabled);
}

void Navigation::TraceSwitched(int row, bool on) {
  if (!on && selection_.LastSelectedTrace == row) {
    selection_.LastSelectedTrace = -1;
    selection_.LastSelectedPoint = 0;
  }
}

void Navigation::ShowClickReadouts(float x, float y) {
  const SampleBlock& block = spectrum_.Block();
  const QString frequency = QString::fromStdString(
      vb::Format(static_cast<double>(x) / 10.0 / static_cast<double>(block.SpanScale), block.FreqFormat));
  const QString amplitude = QString::fromStdString(vb::Format(-static_cast<double>(y), kClickAmplitudeFormat));
  status_.SetPanelText(QStringLiteral("Frequency"), frequency);
  status_.SetPanelText(QStringLiteral("Amplitude"), amplitude);
  const bool selected = selection_.SelectedPoint != 0;
  const QString trace = QString::fromStdString(TraceName(selection_.SelectedTrace));
  status_.SetPanelText(QStringLiteral("CurPoint"),
                       selected ? QString::number(selection_.SelectedPoint) : QStringLiteral("None"));
  status_.SetPanelText(QStringLiteral("CurTrace"), selected ? trace : QStringLiteral("None"));

  QString text;
  if (selected)
    text = QStringLiteral("Trace = ") + trace + QStringLiteral("\nData Point =") +
           QString::fromStdString(vb::StrLong(selection_.SelectedPoint)) + QStringLiteral("\nFrequency = ") +
           frequency + QLatin1Char('\n');
  text += QStringLiteral("Amplitude = ") + amplitude;
  ShowSelectionPanel(x, y, text);
}

void Navigation::ShowSelectionPanel(float x, float y, const QString& text) {
  QPushButton* panel = c_.cmdCoord;
  panel->setText(text);
  if (!SelectionPanelOn()) return;
  panel->adjustSize();
  view_.PlaceLabel(*panel, x, y);
  panel->show();
  panel->raise();
  c_.timerCoord->start();
}

void Navigation::NoSelectedPoint() {
  status_.ShowStatusMessage(QStringLiteral("There is no previously selected data point!"));
  forms::Beep();
}

void Navigation::timerCoord_Timer() {
  c_.cmdCoord->hide();
  c_.timerCoord->stop();
}

}  // namespace specterm
