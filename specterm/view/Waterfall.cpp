#include "view/Waterfall.h"

#include "forms/PictureBox.h"
#include "processing/Processing.h"
#include "vbformat/VbFormat.h"
#include "view/PlotView.h"

#include <QAction>
#include <QDateTime>
#include <QEvent>
#include <QImage>
#include <QPainter>

#include <cmath>

namespace specterm {
namespace {

constexpr const char* kTipTimeFormat = "yyyy-MM-dd HH:mm:ss";
constexpr const char* kTipLevelFormat = "###0.00dB";
// The waterfall keeps at least this many pixels, and so does the plot.
constexpr int kMinimumPixels = 24;

}  // namespace

Waterfall::Waterfall(WaterfallControls& controls, const PlotControls& plot, const Processing& spectrum,
                     const PlotView& view)
    : c_(controls), plot_(plot), spectrum_(spectrum), view_(view) {}

void Waterfall::Attach() {
  c_.picWaterfall->SetSource(this);
  c_.picWaterfall->setVisible(shown_);
  c_.splitWaterfall->setVisible(shown_);
  // Every drawing of the plot ends in a paint of its picture.
  plot_.picSpectrum->installEventFilter(this);
  connect(c_.splitWaterfall, &SplitHandle::DragStarted, this, [this] { shareAtPress_ = share_; });
  connect(c_.splitWaterfall, &SplitHandle::Dragged, this, [this](int pixels) {
    if (splitArea_ <= 0) return;
    // Down makes the waterfall smaller.
    const float share = ClampWaterfallShare(shareAtPress_ - static_cast<float>(pixels) / splitArea_);
    if (share == share_) return;
    share_ = share;
    emit LayoutChanged();
  });
}

void Waterfall::TakeDataSet(std::int64_t timeMs, std::int64_t source) {
  const TraceStore& traces = spectrum_.Traces();
  WaterfallRow& row = history_.PushNewest();
  RowFromTrace(traces.TraceX[kCurrentRow], traces.TraceY[kCurrentRow], spectrum_.Block().SpanScale, row);
  row.TimeMs = timeMs;
  row.Source = source;
  if (shown_) c_.picWaterfall->update();
}

WaterfallHistory Waterfall::ExchangeHistory(WaterfallHistory history) {
  std::swap(history, history_);
  if (shown_) c_.picWaterfall->update();
  return history;
}

void Waterfall::Show(bool shown) {
  shown_ = shown;
  if (c_.mnuViewWaterfall != nullptr) c_.mnuViewWaterfall->setChecked(shown);
  if (c_.picWaterfall != nullptr) c_.picWaterfall->setVisible(shown);
  if (c_.splitWaterfall != nullptr) c_.splitWaterfall->setVisible(shown);
  emit LayoutChanged();
}

void Waterfall::mnuViewWaterfall_Click() { Show(!shown_); }

void Waterfall::ApplySettings(bool shown, float share) {
  share_ = ClampWaterfallShare(share);
  Show(shown);
}

int Waterfall::HeightIn(int pixels) const {
  if (pixels < 2 * kMinimumPixels) return pixels / 2;
  const int height = static_cast<int>(std::lround(static_cast<double>(share_) * pixels));
  return std::clamp(height, kMinimumPixels, pixels - kMinimumPixels);
}

WaterfallScene Waterfall::SceneNow() const {
  WaterfallScene scene;
  scene.Columns = view_.Columns();
  const LevelRange levels = view_.VisibleLevels();
  scene.TopDb = levels.TopDb;
  scene.BottomDb = levels.BottomDb;
  scene.SpanScale = spectrum_.Block().SpanScale;
  scene.Palette = view_.CurrentPalette();
  const PaletteColors& colours = view_.Palettes()[static_cast<std::size_t>(scene.Palette == 1 ? 1 : 0)];
  scene.Background = colours[kSlotBackground];
  scene.Legend = colours[kSlotLegendScale];
  scene.Grid = colours[kSlotGridLines];
  scene.Size = c_.picWaterfall->size();
  return scene;
}

bool Waterfall::eventFilter(QObject* watched, QEvent* event) {
  // The plot was drawn: a changed view, palette or size redraws the rows.
  if (event->type() == QEvent::Paint && shown_ && watched == plot_.picSpectrum && !image_.Current(history_, SceneNow()))
    c_.picWaterfall->update();
  return false;
}

void Waterfall::Render(QPainter& painter, QPoint at) {
  image_.Sync(history_, SceneNow());
  image_.Paint(painter, history_, at);
}

QImage Waterfall::Picture() {
  QImage picture(c_.picWaterfall->size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
  QPainter painter(&picture);
  Render(painter, QPoint(0, 0));
  return picture;
}

void Waterfall::PaintPicture(QPainter& painter) { Render(painter, QPoint(0, 0)); }

QString Waterfall::ToolTipAt(const QPoint& pixel) {
  image_.Sync(history_, SceneNow());
  const std::optional<WaterfallSpot> spot = image_.SpotAt(history_, pixel);
  if (!spot) return {};
  const SampleBlock& block = spectrum_.Block();
  const QString time = QDateTime::fromMSecsSinceEpoch(spot->TimeMs).toString(QString::fromLatin1(kTipTimeFormat));
  const QString frequency =
      QString::fromStdString(vb::Format(spot->X / 10.0 / static_cast<double>(block.SpanScale), block.FreqFormat));
  const QString level =
      spot->Level ? QString::fromStdString(vb::Format(*spot->Level, kTipLevelFormat)) : QStringLiteral("none");
  return QStringLiteral("Time: %1\nFrequency: %2\nLevel: %3").arg(time, frequency, level);
}

}  // namespace specterm
