// The interaction state's own bookkeeping: its options, the settings it
// keeps between runs and what the other subsystems tell it.

#include "interaction/Interaction.h"

#include "forms/KeyedToolBar.h"
#include "modems/Settings.h"
#include "processing/Processing.h"
#include "vbformat/VbFormat.h"
#include "view/PlotView.h"
#include "window/FormControls.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>

namespace specterm {
namespace {

// The format of amplitudes in the threshold box and the cursor read-outs.
constexpr const char* kThresholdFormat = "###0.000dB";
constexpr const char* kCursorAmplitudeFormat = "0.000dB";

// The trace selected at start-up is the first shown in this order.
constexpr int kStartTraceOrder[] = {kTraceCurrent, kTracePeakHold, kTraceVideoAverage, kTracePrevious};

}  // namespace

Interaction::Interaction(FormControls& controls, Processing& spectrum, PlotView& view, StatusBarPresenter& status)
    : c_(controls), spectrum_(spectrum), view_(view), status_(status) {
  // Before any data set, the selected location is the start-up band's
  // centre at 0 dB.
  const SampleBlock& block = spectrum_.Block();
  selection_.SelectedX = followedX_ = static_cast<float>(block.CenterFreq * static_cast<double>(block.SpanScale));
  selection_.SelectedY = followedY_ = 0.0f;
}

bool Interaction::SnapToPoint() const { return c_.mnuOptionsSnap->isChecked(); }

bool Interaction::SelectionPanelOn() const { return c_.mnuOptionsPanel->isChecked(); }

bool Interaction::CursorDisplay() const { return c_.mnuViewCursors->isChecked(); }

void Interaction::SetReferenceLocation(float x, float y) {
  mouse_.ClickX = x;
  mouse_.ClickY = y;
  // Until the pointer, a key or a selection moves it, the selected location
  // follows the reference location, so that a preset or zoom from the menu
  // centres on the capture rather than on frequency 0.
  if (selection_.SelectedX == followedX_ && selection_.SelectedY == followedY_) {
    selection_.SelectedX = followedX_ = x;
    selection_.SelectedY = followedY_ = y;
  }
}

void Interaction::SetMinPeakThreshold(float dB) {
  selection_.MinPeakThreshold = dB;
  view_.SetThreshold(dB);
}

void Interaction::EditPaletteColor(int palette, int slot) {
  if (view_.EditPaletteColor(palette, slot) && view_.CustomPointer())
    view_.ShowPointer(c_.imgCursors.Cursor(PointerImageForMouseMode(mouse_.MouseMode)));
}

void Interaction::TraceSwitched(int row, bool on) {
  if (!on && selection_.LastSelectedTrace == row) {
    selection_.LastSelectedTrace = -1;
    selection_.LastSelectedPoint = 0;
  }
}

void Interaction::ApplySettings(const Settings& s) {
  c_.mnuOptionsSnap->setChecked(s.SnapToPoint);
  c_.mnuOptionsPanel->setChecked(s.SelectionPanelOn);
  c_.mnuViewCursors->setChecked(s.CursorDisplay);
  cursors_.CursorPos = s.CursorPos;
  selection_.MoveType = static_cast<std::int16_t>(s.PointMoves);
  {
    const QSignalBlocker blocker(c_.comboPeakPoint);
    c_.comboPeakPoint->setCurrentIndex(selection_.MoveType);
  }
  comboPeakPoint_Click();
  SetMinPeakThreshold(s.PeakThreshold);
  c_.txtThreshold->setText(QString::fromStdString(vb::Format(selection_.MinPeakThreshold, kThresholdFormat)));

  // The trace rows are shown by now: the selection starts on the first.
  selection_.SelectedTrace = -1;
  for (const int row : kStartTraceOrder)
    if (spectrum_.TraceShown(row)) {
      selection_.SelectedTrace = static_cast<std::int16_t>(row);
      break;
    }
  SetMoveButtons();

  // Cursor read-outs: frequency, amplitude and, with both placed, deltas.
  const SampleBlock& block = spectrum_.Block();
  const auto freqText = [&block](double x) {
    return QString::fromStdString(vb::Format(x / 10.0 / block.SpanScale, block.FreqFormat));
  };
  const auto ampText = [](double amplitude) {
    return QString::fromStdString(vb::Format(amplitude, kCursorAmplitudeFormat));
  };
  const auto& pos = cursors_.CursorPos;
  for (int c = 0; c < 2; ++c) {
    const auto x = pos[static_cast<std::size_t>(c * 2)];
    const auto y = pos[static_cast<std::size_t>(c * 2 + 1)];
    if (x == kCursorNotPlaced) continue;
    c_.txtCursor[static_cast<std::size_t>(c)]->setText(freqText(x));
    // The stored y is the negated amplitude; the box shows the amplitude.
    c_.txtCursor[static_cast<std::size_t>(c + 3)]->setText(ampText(-static_cast<double>(y)));
  }
  if (cursors_.BothPlaced()) {
    c_.txtCursor[2]->setText(freqText(static_cast<double>(pos[2]) - pos[0]));
    c_.txtCursor[5]->setText(ampText(-(static_cast<double>(pos[3]) - pos[1])));
  }
  ShowCursorLines();
  c_.tbCursors->SetPressed(QStringLiteral("CursorDelta"), CursorDisplay());
  const bool zoomCursors = cursors_.BothPlaced() && CursorDisplay();
  c_.mnuViewZoomCursors->setEnabled(zoomCursors);
  c_.tbMain->SetEnabled(QStringLiteral("ZoomCursors"), zoomCursors);
}

void Interaction::CollectSettings(Settings& s) const {
  s.SnapToPoint = SnapToPoint();
  s.SelectionPanelOn = SelectionPanelOn();
  s.CursorDisplay = CursorDisplay();
  s.CursorPos = cursors_.CursorPos;
  s.PointMoves = selection_.MoveType;
  s.PeakThreshold = selection_.MinPeakThreshold;
}

}  // namespace specterm
