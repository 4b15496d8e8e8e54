// The drawn plot, checked on the pixels of the picture: the view window on
// the plotting area inside the label bands, the amplitude grid and its
// labels in the fit view, the frequency grid at band edges inside
// and outside the view, a trace that breaks where its frequency falls, the
// threshold line, and cursors and marker that a second drawing erases.

#include "forms/PictureBox.h"
#include "view/Palettes.h"
#include "view/PlotRenderer.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cmath>
#include <memory>
#include <vector>

namespace specterm {
namespace {

constexpr int kWidth = 1000;
constexpr int kHeight = 600;

QRgb Rgb(std::uint32_t bgr) { return forms::RgbFromColorRef(bgr); }

class PlotRenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    pic.resize(kWidth, kHeight);
    SetView(550, -125, 300, 250);
    colours = DefaultPalette(kViewingPalette);
    colours[kSlotSelectionMarker] = kViewingSelectionMarker;
    scene.Traces = store.get();
    scene.Colors = &colours;
    scene.BandLow = 550;
    scene.BandHigh = 850;
    scene.SpanScale = 1;
    scene.FreqFormat = "##0.000MHz";
    // Out of the way of the grid lines.
    scene.MinPeakThreshold = -123;
  }

  void SetView(float left, float top, float width, float height) {
    pic.SetScaleLeft(left);
    pic.SetScaleTop(top);
    pic.SetScaleWidth(width);
    pic.SetScaleHeight(height);
  }

  const QImage& Draw() {
    marks = DrawPlot(pic, scene, DeriveParameters(pic.ScaleWidth(), pic.ScaleHeight()));
    return pic.Image();
  }

  // The pixel a line through a plot coordinate lies on.
  int Px(double x) const { return static_cast<int>(std::floor(pic.PixelX(x) + 0.5)); }
  int Py(double y) const { return static_cast<int>(std::floor(pic.PixelY(y) + 0.5)); }
  QRgb At(double x, double y) { return pic.Image().pixel(Px(x), Py(y)); }

  int Count(const QRect& area, QRgb colour) {
    const QImage& img = pic.Image();
    const QRect r = area.intersected(img.rect());
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x)
        if (img.pixel(x, y) == colour) ++n;
    return n;
  }

  // Text is smoothed: a legend pixel is yellow on the black background,
  // fully or in part.
  static bool IsLegend(QRgb p) { return qRed(p) > 100 && qGreen(p) > 100 && qBlue(p) < 60; }
  int CountLegend(const QRect& area) {
    const QImage& img = pic.Image();
    const QRect r = area.intersected(img.rect());
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x)
        if (IsLegend(img.pixel(x, y))) ++n;
    return n;
  }

  // Columns holding legend pixels within a band of rows, as [first, last];
  // (-1, -1) when none.
  std::pair<int, int> LegendColumns(const QRect& area) {
    const QImage& img = pic.Image();
    int first = -1;
    int last = -1;
    for (int x = area.left(); x <= area.right(); ++x)
      for (int y = std::max(0, area.top()); y <= std::min(img.height() - 1, area.bottom()); ++y)
        if (IsLegend(img.pixel(x, y))) {
          if (first < 0) first = x;
          last = x;
          break;
        }
    return {first, last};
  }

  // Fills row 0 with a flat line at one amplitude between two frequencies.
  void Flat(std::size_t first, std::size_t end, float fromX, float toX, float dB) {
    for (std::size_t i = first; i < end; ++i) {
      const float t = static_cast<float>(i - first) / static_cast<float>(end - first - 1);
      store->TraceX[0][i] = fromX + t * (toX - fromX);
      store->TraceY[0][i] = dB;
    }
  }

  forms::PictureBox pic;
  std::unique_ptr<TraceStore> store = std::make_unique<TraceStore>();
  PaletteColors colours{};
  PlotScene scene;
  PlotMarks marks;
};

TEST_F(PlotRenderTest, TheViewMapsOntoThePlottingAreaInsideTheLabelBands) {
  Draw();
  const PlotFrame frame = MeasureFrame(pic, scene.FreqFormat);
  const forms::ScaleMapping mapping = pic.Mapping();
  // The view's corners are the plotting area's corners, below the band and
  // right of the column; the mouse converts back through the same mapping.
  EXPECT_GT(frame.LabelColumn, 40);
  EXPECT_GT(frame.LabelBand, 40);
  EXPECT_EQ(QPointF(pic.PixelX(550), pic.PixelY(-125)), QPointF(frame.LabelColumn, frame.LabelBand));
  EXPECT_EQ(QPointF(pic.PixelX(850), pic.PixelY(125)), QPointF(kWidth, kHeight));
  EXPECT_DOUBLE_EQ(pic.ScaleFromPixelX(mapping.PixelX(612.5)), 612.5);
  const QRgb grid = Rgb(colours[kSlotGridLines]);
  const QRgb background = Rgb(colours[kSlotBackground]);
  const int textHalf = static_cast<int>(std::ceil(mapping.PixelsY(pic.TextHeight()) / 2)) + 1;
  const int labelRight = frame.LabelColumn - 1;
  // Every line of the fit view is drawn with its label: no band hides one.
  for (int i = -12000; i <= 12000; i += 1000) {
    const float y = static_cast<float>(i) / 100.0f;
    const QRect labelRows(0, Py(y) - textHalf, labelRight, 2 * textHalf);
    EXPECT_EQ(At(812.5, y), grid) << "line at " << -y << " dB";
    EXPECT_GE(LegendColumns(labelRows).first, 0) << "label of " << -y << " dB";
  }
  // The labels' unit, in the corner above them.
  const QRect unitRows(0, Py(frame.PlotTop - pic.TextHeight()) - textHalf, labelRight,
                       Py(frame.PlotTop) - Py(frame.PlotTop - pic.TextHeight()));
  EXPECT_GE(LegendColumns(unitRows).first, 0) << "the unit caption \"" << kAmplitudeUnitCaption << "\"";
  // Between the lines, nothing; nothing beyond +/-120 dB either.
  EXPECT_EQ(At(812.5, 5), background);
  EXPECT_EQ(At(812.5, 124), background);

  // The labels are padded to one width: all end in the same column, and the
  // longest ones start furthest left.
  const auto zero = LegendColumns(QRect(0, Py(0) - textHalf, labelRight, 2 * textHalf));
  const auto minus120 = LegendColumns(QRect(0, Py(120) - textHalf, labelRight, 2 * textHalf));
  const auto plus50 = LegendColumns(QRect(0, Py(-50) - textHalf, labelRight, 2 * textHalf));
  const auto minus50 = LegendColumns(QRect(0, Py(50) - textHalf, labelRight, 2 * textHalf));
  EXPECT_EQ(zero.second, minus120.second);
  EXPECT_EQ(zero.second, plus50.second);
  EXPECT_LT(minus120.first, minus50.first);
  EXPECT_LT(minus50.first, plus50.first);
  EXPECT_LT(plus50.first, zero.first);
  // The column starts a 256th of the picture's width from the left.
  EXPECT_NEAR(minus120.first, kWidth / 256.0, 3);
}

TEST_F(PlotRenderTest, FitViewFrequencyLinesAreMultiplesWithRotatedLabels) {
  Draw();
  const PlotFrame frame = MeasureFrame(pic, scene.FreqFormat);
  const QRgb grid = Rgb(colours[kSlotGridLines]);
  const QRgb background = Rgb(colours[kSlotBackground]);
  for (int x = 600; x <= 825; x += 25) EXPECT_EQ(At(x, -5), grid) << x;
  // The multiple at the right edge is left out, and so is anything left of
  // the frame.
  EXPECT_EQ(pic.Image().pixel(kWidth - 1, Py(-5)), background);
  EXPECT_EQ(At(612.5, -5), background);
  // Each label stands in the band above its line.
  const QRect band(Px(700) - 8, 0, 16, Py(frame.PlotTop) - 1);
  EXPECT_GT(CountLegend(band), 40);
  EXPECT_EQ(CountLegend(QRect(Px(712.5) - 3, 0, 6, Py(frame.PlotTop) - 1)), 0);
}

TEST_F(PlotRenderTest, BandEdgeInsideTheViewStartsOneStepInside) {
  SetView(437.5f, -218.75f, 525, 437.5f);
  Draw();
  const QRgb grid = Rgb(colours[kSlotGridLines]);
  const QRgb background = Rgb(colours[kSlotBackground]);
  for (int x = 575; x <= 825; x += 25) EXPECT_EQ(At(x, -5), grid) << x;
  EXPECT_EQ(At(550, -5), background);
  EXPECT_EQ(At(850, -5), background);
  EXPECT_EQ(At(525, -5), background);
  EXPECT_EQ(At(875, -5), background);
}

TEST_F(PlotRenderTest, BandOutsideTheViewDrawsNoFrequencyLineButTheRest) {
  SetView(1000, -125, 300, 250);
  scene.MinPeakThreshold = 33;
  Draw();
  const PlotFrame frame = MeasureFrame(pic, scene.FreqFormat);
  const QRgb grid = Rgb(colours[kSlotGridLines]);
  const int left = Px(frame.PlotLeft) + 1;
  EXPECT_EQ(Count(QRect(left, Py(-5), kWidth - left, 1), grid), 0);
  EXPECT_EQ(CountLegend(QRect(left, 0, kWidth - left, Py(frame.PlotTop) - 1)), 0);
  // The amplitude grid, its labels and the threshold line are there.
  EXPECT_EQ(At(1150, -10), grid);
  EXPECT_GT(CountLegend(QRect(0, Py(-10) - 8, left - 1, 16)), 20);
  EXPECT_GT(Count(QRect(left, Py(-33), kWidth - left, 1), Rgb(colours[kSlotPeakThreshold])), kWidth / 3);
}

TEST_F(PlotRenderTest, ATraceIsDrawnInPiecesWithoutSegmentsAcrossTheWrap) {
  store->HaveData = true;
  scene.TraceOn = {true, false, false, false};
  // First half: 700..800 at 55 dB, then falling back to 560..660 at 35 dB;
  // second half: 600..650 at 75 dB.
  Flat(0, 512, 700, 800, 55);
  Flat(512, 1024, 560, 660, 35);
  Flat(1024, 2048, 600, 650, 75);
  Draw();
  const QRgb trace = Rgb(colours[kSlotSpectrumTrace]);
  EXPECT_EQ(At(762.5, -55), trace);
  EXPECT_EQ(At(612.5, -35), trace);
  EXPECT_EQ(At(637.5, -75), trace);
  // Nothing along the two joins that must not be drawn.
  const auto clear = [&](float x1, float y1, float x2, float y2) {
    for (const float t : {0.25f, 0.5f, 0.75f}) {
      const float x = x1 + t * (x2 - x1);
      const float y = y1 + t * (y2 - y1);
      EXPECT_EQ(Count(QRect(Px(x) - 2, Py(y) - 2, 5, 5), trace), 0) << x << ", " << y;
    }
  };
  clear(800, -55, 560, -35);  // the fall inside the first half
  clear(660, -35, 600, -75);  // from the first half to the second
}

TEST_F(PlotRenderTest, ThresholdLineIsDashedAcrossThePlottingArea) {
  scene.MinPeakThreshold = 33.3f;
  Draw();
  const PlotFrame frame = MeasureFrame(pic, scene.FreqFormat);
  const QRgb threshold = Rgb(colours[kSlotPeakThreshold]);
  const int left = Px(frame.PlotLeft);
  const int onRow = Count(QRect(left, Py(-33.3), kWidth - left, 1), threshold);
  EXPECT_GT(onRow, (kWidth - left) / 2);
  EXPECT_LT(onRow, kWidth - left - 20);  // dashes, not a solid line
  EXPECT_EQ(Count(QRect(0, Py(-33.3), left - 1, 1), threshold), 0);
  // Out of the view it leaves nothing.
  scene.MinPeakThreshold = 200;
  Draw();
  EXPECT_EQ(Count(pic.Image().rect(), threshold), 0);
}

TEST_F(PlotRenderTest, CursorsAndMarkerAreInvertedSoDrawingThemAgainErasesThem) {
  store->HaveData = true;
  scene.TraceOn = {true, false, false, false};
  Flat(0, 1024, 560, 840, 40);
  Flat(1024, 2048, 560, 840, 20);
  scene.CursorPos = {612.5f, -45, 762.5f, 15};
  scene.SelectedPoint = 300;
  scene.SelectedTrace = 0;
  scene.PickLeft = scene.PickRight = store->TraceX[0][299];
  scene.PickTop = scene.PickBottom = -store->TraceY[0][299];

  const QImage plain = Draw().copy();
  scene.CursorsOn = true;
  scene.MarkerShown = true;
  const QImage marked = Draw().copy();
  ASSERT_TRUE(marks.MarkerDrawn);
  ASSERT_NE(plain, marked);
  // The cursor lines cross the plotting area; inverted black is white.
  EXPECT_GT(Count(QRect(Px(612.5), 0, 1, kHeight), qRgb(255, 255, 255)), kHeight / 4);
  // The marker's radius is twelve pixels.
  EXPECT_NEAR(pic.Mapping().PixelsX((marks.PickRight - marks.PickLeft) / 2), 12.0, 0.01);

  const float radius = std::abs(marks.PickRight - marks.PickLeft) / 2;
  const PlotFrame frame = MeasureFrame(pic, scene.FreqFormat);
  DrawCursorLines(pic, scene.CursorPos, frame);
  DrawSelectionMarker(pic, store->TraceX[0][299], -store->TraceY[0][299], radius, 0);
  EXPECT_EQ(pic.Image(), plain);
  DrawCursorLines(pic, scene.CursorPos, frame);
  DrawSelectionMarker(pic, store->TraceX[0][299], -store->TraceY[0][299], radius, 0);
  EXPECT_EQ(pic.Image(), marked);
  EXPECT_EQ(pic.DrawMode(), forms::vbCopyPen);
}

TEST_F(PlotRenderTest, TracesThresholdAndCursorsStayOffTheLabels) {
  // Zoomed in (thick pens) on traces that run in from left of the view and
  // rise through the label band; cursor 1 and the threshold lie out there.
  SetView(700, -51, 10, 2);
  store->HaveData = true;
  scene.TraceOn = {true, false, false, true};
  for (const std::size_t row : {0, 3})
    for (std::size_t i = 0; i < kPointCount; ++i) {
      store->TraceX[row][i] = 600.0f + 200.0f * static_cast<float>(i % 1024) / 1023.0f;
      store->TraceY[row][i] = (store->TraceX[row][i] - 450.0f) / 5.0f + 0.1f * static_cast<float>(row);
    }
  scene.CursorsOn = true;
  scene.CursorPos = {690, -51.5f, 704.5f, -49.5f};
  scene.MinPeakThreshold = 51.5f;
  Draw();
  const PlotFrame frame = MeasureFrame(pic, scene.FreqFormat);
  ASSERT_GT(DeriveParameters(10, 2).Height.TraceWidth, 2);
  for (const QRect& labels : {QRect(0, 0, frame.LabelColumn, kHeight), QRect(0, 0, kWidth, frame.LabelBand)})
    for (const QRgb c : {Rgb(colours[kSlotSpectrumTrace]), Rgb(colours[kSlotPeakHold]),
                         Rgb(colours[kSlotPeakThreshold]), qRgb(255, 255, 255)})
      EXPECT_EQ(Count(labels, c), 0);
  // Inside the plotting area they are drawn.
  EXPECT_GT(Count(pic.Image().rect(), Rgb(colours[kSlotPeakHold])), 0);
  EXPECT_GT(Count(QRect(Px(704.5), 0, 1, kHeight), qRgb(255, 255, 255)), kHeight / 4);
}

TEST_F(PlotRenderTest, ZoomedOutAmplitudeLabelsStandATextHeightApart) {
  SetView(287.5f, -382.8125f, 525, 765.625f);  // zoomed out twice from the fit view
  Draw();
  std::vector<int> rows;
  for (int y = 0; y < kHeight; ++y)
    if (pic.Image().pixel(kWidth - 5, y) == Rgb(colours[kSlotGridLines])) rows.push_back(y);
  ASSERT_GE(rows.size(), 3u);
  // A text height apart, give or take the rounding of each line to a row.
  const double textPixels = pic.Mapping().PixelsY(pic.TextHeight());
  for (std::size_t i = 1; i < rows.size(); ++i) EXPECT_GE(rows[i] - rows[i - 1] + 1, textPixels);
  EXPECT_EQ(At(800, 0), Rgb(colours[kSlotGridLines]));  // on round values: 0 dB is one
}

TEST_F(PlotRenderTest, AMarkerWithoutAValidPointIsNotDrawn) {
  scene.MarkerShown = true;
  scene.SelectedPoint = 5;
  scene.SelectedTrace = -1;
  Draw();
  EXPECT_FALSE(marks.MarkerDrawn);
  scene.SelectedTrace = 0;
  scene.SelectedPoint = 2049;
  Draw();
  EXPECT_FALSE(marks.MarkerDrawn);
}

}  // namespace
}  // namespace specterm
