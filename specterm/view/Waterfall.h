#pragma once

// The waterfall: the current trace of the last data sets as rows of colour
// under the plot, newest at the top, on the plot's own columns, so that zoom
// and pan move both together; the colours span the plot's visible dB range.
// It keeps its history whether shown or not (View > "Waterfall" shows it),
// with the split between the plot and the waterfall as it was dragged.
//
// It follows the plot by watching its picture: whenever the plot has been
// drawn, a changed view, palette or size redraws the waterfall's rows. A
// data set adds one row.

#include "processing/WaterfallHistory.h"
#include "view/WaterfallImage.h"
#include "view/WaterfallPicture.h"

#include <QObject>

#include <cstdint>

class QAction;
class QImage;
class QPainter;

namespace specterm {

class PlotView;
class Processing;
struct PlotControls;

// The controls of the waterfall: its View menu item, its picture and the
// handle of the split.
struct WaterfallControls {
  QAction* mnuViewWaterfall = nullptr;
  WaterfallPicture* picWaterfall = nullptr;
  SplitHandle* splitWaterfall = nullptr;
};

class Waterfall : public QObject, public WaterfallPicture::Source {
  Q_OBJECT

 public:
  Waterfall(WaterfallControls& controls, const PlotControls& plot, const Processing& spectrum, const PlotView& view);

  // Takes the controls once the window has made them.
  void Attach();

  // ----- The history -----
  // The current trace of the data set just shown, with its time (and, from
  // a recording, its record).
  void TakeDataSet(std::int64_t timeMs, std::int64_t source = -1);
  const WaterfallHistory& History() const { return history_; }
  // Puts other rows in the history's place (a replay's); returns the rows
  // it held.
  WaterfallHistory ExchangeHistory(WaterfallHistory history);

  // ----- Shown, and the split -----
  bool Shown() const { return shown_; }
  void mnuViewWaterfall_Click();
  float Share() const { return share_; }
  void ApplySettings(bool shown, float share);
  // The layout: the height of the plot and the waterfall together, less
  // the handle, in pixels, and the waterfall's part of it.
  void SetSplitArea(int pixels) { splitArea_ = pixels; }
  int HeightIn(int pixels) const;

  // ----- The picture -----
  // Draws the whole waterfall (time axis, rows, colour bar) as it is shown,
  // its top-left corner at `at`; and as an image, for pictures of the
  // window.
  void Render(QPainter& painter, QPoint at);
  QImage Picture();
  QString ToolTipAt(const QPoint& pixel) override;
  void PaintPicture(QPainter& painter) override;

 signals:
  // The waterfall was shown or hidden, or the split moved: lay the window
  // out again.
  void LayoutChanged();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  WaterfallScene SceneNow() const;
  void Show(bool shown);

  WaterfallControls& c_;
  const PlotControls& plot_;
  const Processing& spectrum_;
  const PlotView& view_;
  WaterfallHistory history_;
  WaterfallImage image_;
  bool shown_ = false;
  float share_ = kWaterfallShareDefault;
  float shareAtPress_ = kWaterfallShareDefault;
  int splitArea_ = 0;
};

}  // namespace specterm
