#pragma once

// File > "Save &Picture...": what the window shows in its plot region, as a
// PNG (or an SVG when the name ends in ".svg") at the window's size and in
// the palette in use, cursors, marker and threshold included, with a caption
// line under it: centre, span, dB per division, resolution bandwidth, the
// time of the data set, and whatever a caption source adds (the values of a
// measurement). The plot region is the plot, or the splitter or laid-out box
// that holds the plot with what is shown under it. Written through a
// temporary file and renamed, as the exports are.

#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>
#include <string>

class QAction;
class QWidget;

namespace specterm {

class PlotView;
class Processing;
struct PlotControls;
struct ExportResult;

struct PictureControls {
  QAction* mnuFileSavePicture = nullptr;
};

class PictureSaver {
 public:
  using CaptionSource = std::function<QStringList()>;

  PictureSaver(PlotControls& plot, QWidget* window, const PlotView& view, const Processing& spectrum);

  void mnuFileSavePicture_Click();

  // Items the caption shows after its own (a measurement's values); the
  // source is asked each time a picture is made.
  void SetCaptionSource(CaptionSource source) { captionSource_ = std::move(source); }
  // A picture shown under the plot in the plot's own parent (the
  // waterfall): while it is visible, the picture takes in the plot, it and
  // whatever lies between them (the split handle), as the window shows them.
  void SetUnderPlot(QWidget* widget) { underPlot_ = widget; }
  // The folder the save dialog opens in, ending in "/"; the last one used.
  const QString& Folder() const { return folder_; }
  void SetFolder(const QString& folder) { folder_ = folder; }

  // What is rendered: the plot, or the splitter or box it shares with what
  // lies under it.
  QWidget* PlotRegion() const;
  QString CaptionLine() const;
  // The plot region with the caption line under it.
  QImage Picture() const;
  // The plot region as the window shows it, with the picture under the
  // plot when that is shown.
  QImage RegionShot() const;
  // Writes the picture: SVG for a name ending in ".svg", else PNG.
  ExportResult Save(const QString& fileName) const;

 private:
  PlotControls& plot_;
  QWidget* window_;
  const PlotView& view_;
  const Processing& spectrum_;
  CaptionSource captionSource_;
  QWidget* underPlot_ = nullptr;
  QString folder_;
};

}  // namespace specterm
