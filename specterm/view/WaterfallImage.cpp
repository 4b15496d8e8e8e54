#include "view/WaterfallImage.h"

#include "forms/PictureBox.h"
#include "vbformat/VbFormat.h"
#include "view/PlotRenderer.h"

#include <QDateTime>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cstring>

namespace specterm {
namespace {

// The colour bar below the rows: its gap to them and its height, in pixels;
// its labels below it.
constexpr int kBarGap = 3;
constexpr int kBarHeight = 8;
constexpr int kBarLabelGap = 1;
// A time label at least every this many text heights, and its tick.
constexpr int kTimeLabelSpacing = 3;
constexpr int kTickLength = 4;
constexpr int kLabelRightGap = 6;
constexpr const char* kTimeFormat = "HH:mm:ss";
constexpr const char* kLevelFormat = "###0.00dB";

QColor Colour(std::uint32_t bgr) { return QColor::fromRgb(forms::RgbFromColorRef(bgr)); }

}  // namespace

WaterfallImage::WaterfallImage() : font_(QString::fromLatin1(kLegendFontFace)) {
  font_.setPointSizeF(kLegendFontPoints);
  textHeight_ = QFontMetrics(font_).height();
}

int WaterfallImage::RowLines(const QSize& size) const {
  return std::max(0, size.height() - (kBarGap + kBarHeight + kBarLabelGap + textHeight_));
}

QRect WaterfallImage::RowsRect() const {
  return {scene_.Columns.First, 0, scene_.Columns.Columns(), RowLines(scene_.Size)};
}

bool WaterfallImage::Current(const WaterfallHistory& history, const WaterfallScene& scene) const {
  return drawn_ && scene == scene_ && history.Serial() == serial_ && history.Added() == added_;
}

const std::vector<ColumnSpan>& WaterfallImage::Spans(const WaterfallRow& row) {
  if (row.FirstFreq != spansFirst_ || row.FreqStep != spansStep_ || spans_.empty()) {
    spansFirst_ = row.FirstFreq;
    spansStep_ = row.FreqStep;
    const double scale = scene_.SpanScale;
    spans_ = RowSpans(scene_.Columns, row.FirstFreq * scale, row.FreqStep * scale, row.Levels.size());
  }
  return spans_;
}

void WaterfallImage::DrawRow(const WaterfallRow& row, int line) {
  auto* pixels = reinterpret_cast<std::uint32_t*>(ring_.scanLine(line));
  PaintRow(row.Levels, Spans(row), scene_.TopDb, scene_.BottomDb, colours_, empty_, pixels);
}

void WaterfallImage::DrawAll(const WaterfallHistory& history) {
  ring_.fill(empty_);
  top_ = 0;
  const int lines = std::min<int>(ring_.height(), static_cast<int>(history.Size()));
  for (int age = 0; age < lines; ++age) DrawRow(history.Row(static_cast<std::size_t>(age)), age);
}

void WaterfallImage::Sync(const WaterfallHistory& history, const WaterfallScene& scene) {
  if (Current(history, scene)) return;
  const bool sameScene = drawn_ && scene == scene_ && history.Serial() == serial_ && history.Added() > added_;
  if (!(scene == scene_) || !drawn_) {
    scene_ = scene;
    colours_ = WaterfallColours(scene.Palette);
    empty_ = 0xFF000000u | forms::RgbFromColorRef(scene.Background);
    spans_.clear();
    const QSize ringSize(std::max(scene.Columns.Columns(), 1), std::max(RowLines(scene.Size), 1));
    if (ring_.size() != ringSize) ring_ = QImage(ringSize, QImage::Format_RGB32);
  }
  const std::uint64_t fresh = history.Added() - added_;
  if (sameScene && fresh < static_cast<std::uint64_t>(ring_.height())) {
    // Scroll by the new rows and draw them: oldest first, so that the
    // newest ends on top.
    for (std::uint64_t i = fresh; i-- > 0;) {
      top_ = (top_ + ring_.height() - 1) % ring_.height();
      if (i < history.Size())
        DrawRow(history.Row(static_cast<std::size_t>(i)), top_);
      else
        std::fill_n(reinterpret_cast<std::uint32_t*>(ring_.scanLine(top_)), ring_.width(), empty_);
    }
    // Rows the history let go of leave the picture with it.
    const auto held = static_cast<int>(history.Size());
    const int dropped = std::min<int>(ring_.height(), held + static_cast<int>(fresh));
    for (int age = held; age < dropped; ++age)
      std::fill_n(reinterpret_cast<std::uint32_t*>(ring_.scanLine((top_ + age) % ring_.height())), ring_.width(),
                  empty_);
  } else {
    DrawAll(history);
  }
  serial_ = history.Serial();
  added_ = history.Added();
  drawn_ = true;
}

void WaterfallImage::Paint(QPainter& painter, const WaterfallHistory& history, QPoint at) const {
  const QRect whole(at, scene_.Size);
  painter.fillRect(whole, Colour(scene_.Background));
  if (!drawn_) return;
  const QRect rows = RowsRect().translated(at);
  const int lines = std::min(ring_.height(), rows.height());
  // The ring from its newest line down, then its start.
  const int upper = std::min(lines, ring_.height() - top_);
  painter.drawImage(QPoint(rows.left(), rows.top()), ring_, QRect(0, top_, ring_.width(), upper));
  if (lines > upper)
    painter.drawImage(QPoint(rows.left(), rows.top() + upper), ring_, QRect(0, 0, ring_.width(), lines - upper));

  painter.setFont(font_);
  const QFontMetrics metrics(font_);
  // The frame's line continues the plot's down the rows.
  painter.setPen(Colour(scene_.Grid));
  painter.drawLine(rows.left() - 1, rows.top(), rows.left() - 1, rows.bottom());

  // The time axis: the clock time of a row every few text heights.
  const int spacing = std::max(1, kTimeLabelSpacing * textHeight_);
  const int labelRight = rows.left() - kLabelRightGap;
  for (int line = 0; line < lines && line < static_cast<int>(history.Size()); line += spacing) {
    const QString text = QDateTime::fromMSecsSinceEpoch(history.Row(static_cast<std::size_t>(line)).TimeMs)
                             .toString(QString::fromLatin1(kTimeFormat));
    const int y = rows.top() + line;
    painter.setPen(Colour(scene_.Grid));
    painter.drawLine(rows.left() - 1 - kTickLength, y, rows.left() - 2, y);
    painter.setPen(Colour(scene_.Legend));
    const int textTop = std::clamp(y - textHeight_ / 2, rows.top(), std::max(rows.top(), rows.bottom() - textHeight_));
    const int width = metrics.horizontalAdvance(text);
    painter.drawText(QRect(labelRight - width, textTop, width, textHeight_), Qt::AlignRight | Qt::AlignVCenter, text);
  }

  // The colour bar over the plot's columns, bottom of the range at the left.
  const int barTop = rows.top() + rows.height() + kBarGap;
  const int columns = rows.width();
  if (columns > 0) {
    QImage bar(columns, 1, QImage::Format_RGB32);
    auto* pixels = reinterpret_cast<std::uint32_t*>(bar.scanLine(0));
    for (int c = 0; c < columns; ++c)
      pixels[c] = colours_[static_cast<std::size_t>(c * kWaterfallColourSteps / columns)];
    painter.drawImage(QRect(rows.left(), barTop, columns, kBarHeight), bar);
    painter.setPen(Colour(scene_.Legend));
    const int labelTop = barTop + kBarHeight + kBarLabelGap;
    const auto label = [&](float dB, Qt::Alignment align) {
      const QString text = QString::fromStdString(vb::Format(dB, kLevelFormat));
      painter.drawText(QRect(rows.left(), labelTop, columns, textHeight_), align | Qt::AlignTop, text);
    };
    label(scene_.BottomDb, Qt::AlignLeft);
    label((scene_.BottomDb + scene_.TopDb) / 2, Qt::AlignHCenter);
    label(scene_.TopDb, Qt::AlignRight);
  }
}

std::optional<WaterfallSpot> WaterfallImage::SpotAt(const WaterfallHistory& history, QPoint pixel) const {
  const QRect rows = RowsRect();
  if (!drawn_ || !rows.contains(pixel) || pixel.y() >= static_cast<int>(history.Size())) return std::nullopt;
  const WaterfallRow& row = history.Row(static_cast<std::size_t>(pixel.y()));
  WaterfallSpot spot;
  spot.TimeMs = row.TimeMs;
  spot.X = (pixel.x() - scene_.Columns.Origin) / scene_.Columns.Scale;
  ColumnMap one = scene_.Columns;
  one.First = one.Last = pixel.x();
  const double scale = scene_.SpanScale;
  const std::vector<ColumnSpan> span = RowSpans(one, row.FirstFreq * scale, row.FreqStep * scale, row.Levels.size());
  spot.Level = ColumnLevel(row.Levels, span.front());
  return spot;
}

}  // namespace specterm
