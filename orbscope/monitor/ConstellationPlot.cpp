#include "ConstellationPlot.h"

#include "ConstellationMonitor.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace orbscope {

namespace {
constexpr int kPlotFontPixelSize = 14;
constexpr int kTitleBufferSize = 256;
}  // namespace

int MapToPixel(double v, double lo, double hi, int p0, int p1) {
  return static_cast<int>(p0 + (p1 - p0) * (v - lo) / (hi - lo));
}

std::string FormatDb(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "Inf" : "-Inf";
  // An EVM of exactly 0 dB comes out of -10 log10(1) as a negative zero,
  // which printf would show as "-0.0".
  if (value == 0.0) value = 0.0;
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.1f", value);
  return buffer;
}

std::string FormatTitle(unsigned status, double evm, bool statisticsOn, double minimum, double maximum,
                        double average) {
  unsigned model = status / 256;
  if (model >= std::size(ModelNames)) model = 0;
  const unsigned modulation = (status % 16) < std::size(ModulationNames) ? status % 16 : 0;
  char buffer[kTitleBufferSize];
  if (modulation == 0) {
    std::snprintf(buffer, sizeof buffer, "%s (%s)", ModelNames[model], "NONE");
  } else if (statisticsOn) {
    std::snprintf(buffer, sizeof buffer, "%s (%s EVM= %s dB  [ %s, %s, %s ])", ModelNames[model],
                  ModulationNames[modulation], FormatDb(evm).c_str(), FormatDb(minimum).c_str(),
                  FormatDb(maximum).c_str(), FormatDb(average).c_str());
  } else {
    std::snprintf(buffer, sizeof buffer, "%s (%s EVM= %s dB)", ModelNames[model], ModulationNames[modulation],
                  FormatDb(evm).c_str());
  }
  return buffer;
}

QFont PlotFont() {
  QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  font.setPixelSize(kPlotFontPixelSize);
  font.setBold(true);
  return font;
}

}  // namespace orbscope

using namespace orbscope;

std::string CConstellationMonitor::TitleText() const {
  return FormatTitle(status_, evm_, statisticsOn_, minimum_, maximum_, average_);
}

void CConstellationMonitor::ClearPicture() {
  progressText_.clear();
  if (!picture_.isNull()) picture_.fill(Qt::black);
}

void CConstellationMonitor::ShowProgress(const QFont& font, const std::string& text) {
  progressFont_ = font;
  progressText_ = text;
  DrawProgress();
}

void CConstellationMonitor::DrawProgress() {
  if (progressText_.empty() || clientWidth_ <= 0 || clientHeight_ <= 0) return;
  QPainter painter(&PictureOfClientSize());
  DrawFrame(painter, progressFont_, QString::fromLocal8Bit(progressText_.c_str()));
}

QImage& CConstellationMonitor::PictureOfClientSize() {
  if (picture_.size() != QSize(clientWidth_, clientHeight_))
    picture_ = QImage(clientWidth_, clientHeight_, QImage::Format_RGB32);
  return picture_;
}

void CConstellationMonitor::DrawFrame(QPainter& painter, const QFont& font, const QString& title) {
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setFont(font);
  const QFontMetrics metrics(font);
  const int bandHeight = metrics.height();
  const int left = 0;
  const int right = clientWidth_;
  const int top = bandHeight;
  const int bottom = clientHeight_;

  FillCorners(painter, 0, 0, clientWidth_, clientHeight_, blackBrush_);
  FillCorners(painter, 0, 0, clientWidth_, bandHeight, greyBrush_);

  painter.setPen(whitePen_);
  painter.drawLine(left, top, left, bottom);
  painter.drawLine(left, bottom, right, bottom);
  painter.drawLine(left, top, right, top);
  painter.drawLine(right, top, right, bottom);

  for (int l = 0; l <= static_cast<int>(yAxis_.divisions); ++l) {
    const double v = yAxis_.minimum + l * (yAxis_.maximum - yAxis_.minimum) / (yAxis_.divisions + 1);
    const int y = MapToPixel(v, yAxis_.minimum, yAxis_.maximum, bottom, top);
    painter.drawLine(left, y, right, y);
  }
  for (int l = 0; l <= static_cast<int>(xAxis_.divisions); ++l) {
    const double v = xAxis_.minimum + l * (xAxis_.maximum - xAxis_.minimum) / (xAxis_.divisions + 1);
    const int x = MapToPixel(v, xAxis_.minimum, xAxis_.maximum, left, right);
    if (x <= right) painter.drawLine(x, top, x, bottom);
  }

  if (!title.isEmpty()) {
    const int textWidth = metrics.horizontalAdvance(title);
    const int x = clientWidth_ / 2 - textWidth / 2;
    painter.fillRect(QRect(x, 0, textWidth, bandHeight), greyBrush_);
    painter.setPen(blackPen_);
    painter.drawText(x, metrics.ascent(), title);
  }
}

// A filled rectangle covers its corners' span less the right and bottom
// edges, as the classic rectangle call does.
void CConstellationMonitor::FillCorners(QPainter& painter, int x0, int y0, int x1, int y1, const QBrush& brush) {
  painter.fillRect(QRect(QPoint(std::min(x0, x1), std::min(y0, y1)), QSize(std::abs(x1 - x0), std::abs(y1 - y0))),
                   brush);
}

void CConstellationMonitor::Draw(const QFont& font) {
  if (iSamples_.Count() == 0 || clientWidth_ <= 0 || clientHeight_ <= 0) return;
  progressText_.clear();
  QPainter painter(&PictureOfClientSize());
  DrawFrame(painter, font, address_.IsEmpty() ? QString() : QString::fromLatin1(TitleText().c_str()));

  const QFontMetrics metrics(font);
  const int markerWidth = metrics.horizontalAdvance(QStringLiteral("x")) / 4;
  const int markerHeight = metrics.height() / 8;
  const int top = metrics.height();
  for (int k = 0; k < iSamples_.Count(); ++k) {
    const int x = MapToPixel(iSamples_.Data()[k], xAxis_.minimum, xAxis_.maximum, 0, clientWidth_);
    const int y = MapToPixel(qSamples_.Data()[k], yAxis_.minimum, yAxis_.maximum, clientHeight_, top);
    FillCorners(painter, x - markerWidth / 2, y + markerHeight / 2, x + markerWidth / 2, y - markerHeight / 2,
                whiteBrush_);
  }
}
