// The two measurement cursors: arming one for the next left click, placing
// it (its two dotted lines, the line joining the cursors, the read-outs of
// both and their differences), showing and hiding them, and zooming the view
// so that both fit.

#include "interaction/Cursors.h"

#include "forms/KeyedToolBar.h"
#include "forms/PictureBox.h"
#include "processing/Processing.h"
#include "vbformat/VbFormat.h"
#include "view/PlotView.h"
#include "view/ToolbarControls.h"

#include <QAction>
#include <QLineEdit>

#include <algorithm>
#include <cmath>

namespace specterm {
namespace {

constexpr const char* kCursorAmplitudeFormat = "0.000dB";
// The pointer amplitude read-out.
constexpr const char* kPointerAmplitudeFormat = "###0.000dB";
// Zoom to Fit Cursors widens the cursors' spread by these steps until the
// view is at least twice the narrowest view or this many dB high.
constexpr double kWidthStep = 1.5;
constexpr double kHeightStart = 1.1;
constexpr double kHeightStep = 0.1;
constexpr double kMinimumZoomHeight = 20.0;

}  // namespace

Cursors::Cursors(CursorControls& controls, ToolbarControls& toolbar, const Processing& spectrum, PlotView& view)
    : c_(controls), toolbar_(toolbar), spectrum_(spectrum), view_(view) {}

bool Cursors::CursorDisplay() const { return c_.mnuViewCursors->isChecked(); }

void Cursors::ShowZoomCursorsState() {
  const bool on = cursors_.BothPlaced() && CursorDisplay();
  c_.mnuViewZoomCursors->setEnabled(on);
  toolbar_.tbMain->SetEnabled(QStringLiteral("ZoomCursors"), on);
}

void Cursors::ShowReadouts(int cursor) {
  const SampleBlock& block = spectrum_.Block();
  const auto frequency = [&block](double x) {
    return QString::fromStdString(vb::Format(x / 10.0 / static_cast<double>(block.SpanScale), block.FreqFormat));
  };
  const auto amplitude = [](double value) { return QString::fromStdString(vb::Format(value, kCursorAmplitudeFormat)); };
  const auto& pos = cursors_.CursorPos;
  const auto c = static_cast<std::size_t>(cursor - 1);
  c_.txtCursor[c]->setText(frequency(pos[c * 2]));
  c_.txtCursor[c + 3]->setText(amplitude(-static_cast<double>(pos[c * 2 + 1])));
  if (!cursors_.BothPlaced()) return;
  c_.txtCursor[2]->setText(frequency(static_cast<double>(pos[2]) - pos[0]));
  c_.txtCursor[5]->setText(amplitude(-(static_cast<double>(pos[3]) - pos[1])));
}

void Cursors::ShowLines() { view_.ShowCursors({CursorDisplay(), cursors_.CursorPos}); }

void Cursors::Arm(int index) {
  if (index != 0 && index != 1) return;
  c_.mnuViewCursors->setChecked(true);
  ShowLines();
  view_.UpdateView();
  c_.tbCursors->SetPressed(QStringLiteral("CursorDelta"), true);
  ShowZoomCursorsState();
  c_.mnuViewCursor[static_cast<std::size_t>(index)]->setChecked(true);
  c_.mnuViewCursor[static_cast<std::size_t>(1 - index)]->setChecked(false);
  emit CursorsChanged();
}

void Cursors::Disarm() {
  for (QAction* item : c_.mnuViewCursor) item->setChecked(false);
}

void Cursors::Place(int cursor, float x, float y) {
  if (cursor != 1 && cursor != 2) return;
  auto& pos = cursors_.CursorPos;
  const auto c = static_cast<std::size_t>(cursor - 1);
  pos[c * 2] = x;
  pos[c * 2 + 1] = y;
  // The lines are on the plot only while the cursors are shown: the old
  // ones go, the new ones come.
  ShowLines();
  ShowReadouts(cursor);
  if (cursors_.BothPlaced()) ShowZoomCursorsState();
  c_.mnuViewCursor[c]->setChecked(false);
  emit CursorsChanged();
}

void Cursors::ShowPointerReadout(float x, float y) {
  const SampleBlock& block = spectrum_.Block();
  c_.txtCursor[6]->setText(QString::fromStdString(
      vb::Format(static_cast<double>(x) / 10.0 / static_cast<double>(block.SpanScale), block.FreqFormat)));
  c_.txtCursor[7]->setText(QString::fromStdString(vb::Format(-static_cast<double>(y), kPointerAmplitudeFormat)));
}

void Cursors::ApplySettings(bool display, const std::array<float, 4>& positions) {
  c_.mnuViewCursors->setChecked(display);
  cursors_.CursorPos = positions;
  for (int cursor = 1; cursor <= 2; ++cursor)
    if (cursors_.Placed(cursor)) ShowReadouts(cursor);
  ShowLines();
  c_.tbCursors->SetPressed(QStringLiteral("CursorDelta"), CursorDisplay());
  ShowZoomCursorsState();
}

void Cursors::mnuViewCursors_Click() {
  c_.tbCursors->SetPressed(QStringLiteral("CursorDelta"), CursorDisplay());
  ShowZoomCursorsState();
  ShowLines();
  view_.UpdateView();
  emit CursorsChanged();
}

void Cursors::mnuViewZoomCursors_Click() {
  if (!cursors_.BothPlaced()) return;
  view_.SetPrevious();
  const ViewRect view = view_.Window();
  const auto& pos = cursors_.CursorPos;
  const double dx = std::abs(static_cast<double>(pos[2]) - pos[0]);
  const double dy = std::abs(static_cast<double>(pos[3]) - pos[1]);
  const double dxPixels = view_.Mapping().PixelsX(dx);
  const double dyPixels = view_.Mapping().PixelsY(dy);
  const double minWidth = 2.0 * view_.MinViewWidth();
  ViewRect zoomed = view;
  if (dx == 0 && dy == 0) {
    // Both cursors at one place: the narrowest sensible view about them.
    zoomed.Width = static_cast<float>(minWidth);
    zoomed.Height = static_cast<float>(kMinimumZoomHeight);
  } else if (dxPixels > dyPixels) {
    // The smallest whole number of steps that reaches twice the narrowest
    // view, at least one.
    const double steps = std::max(1.0, std::ceil(minWidth / (dx * kWidthStep)));
    zoomed.Width = static_cast<float>(dx * kWidthStep * steps);
    zoomed.Height = view.Height * (zoomed.Width / view.Width);
  } else {
    const double steps = std::max(0.0, std::ceil((kMinimumZoomHeight / dy - kHeightStart) / kHeightStep - 1e-9));
    zoomed.Height = static_cast<float>(dy * (kHeightStart + kHeightStep * steps));
    zoomed.Width = view.Width * (zoomed.Height / view.Height);
  }
  zoomed.Left = static_cast<float>(std::min(pos[0], pos[2]) + dx / 2.0 - zoomed.Width / 2.0);
  zoomed.Top = static_cast<float>(std::min(pos[1], pos[3]) + dy / 2.0 - zoomed.Height / 2.0);
  view_.ZoomToView(zoomed);
}

void Cursors::tbCursors_ButtonClick(const QString& key) {
  if (key == QLatin1String("CursorOne"))
    c_.mnuViewCursor[0]->trigger();
  else if (key == QLatin1String("CursorTwo"))
    c_.mnuViewCursor[1]->trigger();
  else if (key == QLatin1String("CursorDelta"))
    c_.mnuViewCursors->trigger();
}

}  // namespace specterm
