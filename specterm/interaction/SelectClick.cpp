// A left click on the plot in Select mode: pick the nearest point, take the
// click as the reference location, finish an armed threshold or cursor
// positioning, and read the click out in the status bar and, when the
// selection panel is on, in a label beside the click.

#include "forms/PictureBox.h"
#include "interaction/Interaction.h"
#include "processing/Processing.h"
#include "vbformat/VbFormat.h"
#include "view/Icons.h"
#include "view/PlotView.h"
#include "view/StatusBarPresenter.h"
#include "window/FormControls.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace specterm {
namespace {

constexpr const char* kThresholdFormat = "###0.000dB";
constexpr const char* kClickAmplitudeFormat = "0.000dB";

}  // namespace

void Interaction::SelectClick(float x, float y) {
  c_.timerCoord->stop();
  GetNearestPoint(x, y);
  if (SnapToPoint()) view_.MoveCursor(x, y);
  // The click becomes the reference location of the presets and entry
  // fields.
  mouse_.ClickX = x;
  mouse_.ClickY = y;

  if (mouse_.PositioningThreshold) {
    if (mouse_.PositioningCursor == 0)
      view_.ShowCrosshair();
    else
      ShowPointerImage(mouse_.PositioningCursor + kPointerCursor1 - 1);
    selection_.MinPeakThreshold = -y;
    view_.SetThreshold(selection_.MinPeakThreshold);
    c_.txtThreshold->setText(QString::fromStdString(vb::Format(selection_.MinPeakThreshold, kThresholdFormat)));
    mouse_.PositioningThreshold = false;
    view_.UpdateView();
  } else if (mouse_.PositioningCursor == 1 || mouse_.PositioningCursor == 2) {
    PlaceCursor(mouse_.PositioningCursor, x, y);
  }

  // The read-outs of the click.
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

void Interaction::ShowSelectionPanel(float x, float y, const QString& text) {
  QPushButton* panel = c_.cmdCoord;
  panel->setText(text);
  if (!SelectionPanelOn()) return;
  panel->adjustSize();
  view_.PlaceLabel(*panel, x, y);
  panel->show();
  panel->raise();
  c_.timerCoord->start();
}

}  // namespace specterm
