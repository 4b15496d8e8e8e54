#include "view/PictureSaver.h"

#include "forms/Dialogs.h"
#include "forms/PictureBox.h"
#include "processing/DataSetExport.h"
#include "processing/Processing.h"
#include "view/PlotView.h"
#include "view/ViewModel.h"

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QFontMetrics>
#include <QLayout>
#include <QPainter>
#include <QSplitter>

#include <cmath>

namespace specterm {
namespace {

constexpr const char* kDialogTitle = "Save Picture";
constexpr const char* kFilter = "PNG image|*.png|SVG image|*.svg";
constexpr const char* kItemSeparator = "   ";
// Room about the caption's text, in pixels.
constexpr int kCaptionPadding = 4;
constexpr const char* kCaptionFont = "DejaVu Sans";
constexpr int kCaptionPoints = 9;

// Frequencies get as many decimals as the view's scale carries.
QString Megahertz(double tenthsOfMhz, float spanScale) {
  const int decimals = 3 + static_cast<int>(std::lround(std::log10(std::max(1.0f, spanScale))));
  return QString::number(tenthsOfMhz / 10.0, 'f', decimals) + QStringLiteral(" MHz");
}

QString Escaped(const QString& text) { return text.toHtmlEscaped(); }

std::string Bytes(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes.toStdString();
}

}  // namespace

PictureSaver::PictureSaver(PlotControls& plot, QWidget* window, const PlotView& view, const Processing& spectrum)
    : plot_(plot), window_(window), view_(view), spectrum_(spectrum) {}

QWidget* PictureSaver::PlotRegion() const {
  QWidget* plot = plot_.picSpectrum;
  QWidget* holder = plot->parentWidget();
  if (holder != nullptr && (qobject_cast<QSplitter*>(holder) != nullptr ||
                            (holder->layout() != nullptr && holder->layout()->indexOf(plot) >= 0)))
    return holder;
  return plot;
}

QString PictureSaver::CaptionLine() const {
  const ViewRect view = view_.Window();
  const SampleBlock& block = spectrum_.Block();
  const float scale = block.SpanScale;
  const DerivedParameters derived = DeriveParameters(view.Width, view.Height);
  QStringList items = {
      QStringLiteral("Center ") + Megahertz((view.Left + view.Width / 2.0) / scale, scale),
      QStringLiteral("Span ") + Megahertz(view.Width / scale, scale),
      QString::number(derived.Height.Ky / 100.0, 'f', 2) + QStringLiteral(" dB/div"),
      QStringLiteral("RBW ") + QString::number(ResolutionBandwidthKHz(block.SampleRate), 'f', 3) +
          QStringLiteral(" kHz"),
  };
  if (const auto time = spectrum_.DataSetTime())
    items << QDateTime::fromSecsSinceEpoch(DataSetClock::to_time_t(*time)).toString(Qt::ISODate).replace('T', ' ');
  if (captionSource_) items << captionSource_();
  return items.join(QLatin1String(kItemSeparator));
}

QImage PictureSaver::RegionShot() const {
  QWidget* plot = plot_.picSpectrum;
  QWidget* holder = plot->parentWidget();
  if (underPlot_ != nullptr && underPlot_->isVisible() && holder != nullptr && underPlot_->parentWidget() == holder &&
      PlotRegion() == plot)
    return holder->grab(plot->geometry().united(underPlot_->geometry())).toImage();
  return PlotRegion()->grab().toImage();
}

QImage PictureSaver::Picture() const {
  QImage shot = RegionShot().convertToFormat(QImage::Format_RGB32);
  shot.setDevicePixelRatio(1.0);
  const PaletteColors& colors = view_.Palettes()[static_cast<std::size_t>(view_.CurrentPalette())];
  QFont font(QString::fromLatin1(kCaptionFont));
  font.setPointSize(kCaptionPoints);
  const QFontMetrics metrics(font);
  const int captionHeight = metrics.height() + 2 * kCaptionPadding;
  QImage picture(shot.width(), shot.height() + captionHeight, QImage::Format_RGB32);
  picture.fill(QColor(forms::RgbFromColorRef(colors[kSlotBackground])));
  QPainter painter(&picture);
  painter.drawImage(0, 0, shot);
  painter.setFont(font);
  painter.setPen(QColor(forms::RgbFromColorRef(colors[kSlotLegendScale])));
  const QRect line(kCaptionPadding, shot.height() + kCaptionPadding, shot.width() - 2 * kCaptionPadding,
                   metrics.height());
  painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                   metrics.elidedText(CaptionLine(), Qt::ElideRight, line.width()));
  return picture;
}

ExportResult PictureSaver::Save(const QString& fileName) const {
  const std::string name = QFile::encodeName(fileName).toStdString();
  const QImage picture = Picture();
  if (!fileName.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) return WriteFileReplacing(name, Bytes(picture));
  // The picture as it is, and the caption again as text that can be found
  // and copied.
  const PaletteColors& colors = view_.Palettes()[static_cast<std::size_t>(view_.CurrentPalette())];
  const QString svg =
      QStringLiteral(
          "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
          "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%2\" viewBox=\"0 0 %1 %2\">\n"
          "<image width=\"%1\" height=\"%2\" href=\"data:image/png;base64,%3\"/>\n"
          "<text x=\"%4\" y=\"%5\" font-family=\"%6\" font-size=\"%7pt\" fill=\"%8\" opacity=\"0\">%9</text>\n"
          "</svg>\n")
          .arg(picture.width())
          .arg(picture.height())
          .arg(QString::fromLatin1(QByteArray::fromStdString(Bytes(picture)).toBase64()))
          .arg(kCaptionPadding)
          .arg(picture.height() - kCaptionPadding)
          .arg(QString::fromLatin1(kCaptionFont))
          .arg(kCaptionPoints)
          .arg(QColor(forms::RgbFromColorRef(colors[kSlotLegendScale])).name())
          .arg(Escaped(CaptionLine()));
  return WriteFileReplacing(name, svg.toStdString());
}

void PictureSaver::mnuFileSavePicture_Click() {
  forms::FileDialogRequest request;
  request.kind = forms::FileDialogRequest::Kind::Save;
  request.title = QString::fromLatin1(kDialogTitle);
  request.initialFolder = folder_;
  request.fileName = QStringLiteral("spectrum.png");
  request.filter = QString::fromLatin1(kFilter);
  request.defaultExtension = QStringLiteral("png");
  request.confirmOverwrite = true;
  const std::optional<QString> chosen = forms::ShowFileDialog(request, window_);
  if (!chosen) return;
  const qsizetype slash = chosen->lastIndexOf(QLatin1Char('/'));
  if (slash >= 0) folder_ = chosen->left(slash + 1);
  const ExportResult result = Save(*chosen);
  if (!result.Ok)
    forms::MsgBox(QString::fromLocal8Bit(result.Message()), forms::vbCritical, QStringLiteral("Save Failed"), window_);
}

}  // namespace specterm
