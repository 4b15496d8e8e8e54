// The waterfall in the window: its columns stay under the plot's as the view
// zooms and pans, the newest row is on top with its time, frequency and
// level in the tool tip, a click in it changes nothing, the printing palette
// gives it a light background, and it is off at first, with its split
// dragged and kept between runs.

#include "FormFixture.h"
#include "forms/PictureBox.h"
#include "vbformat/VbFormat.h"

#include <QDateTime>
#include <QScrollBar>
#include <QTest>

#include <algorithm>
#include <optional>

namespace specterm {
namespace {

constexpr std::int64_t kNoon = 1714564800000;  // 2024-05-01 12:00:00 UTC

class WaterfallTest : public testing::FormTest {
 protected:
  // The window with the waterfall shown, two data sets without the carrier,
  // then one with it, each taken as a row; the view fitted.
  frmMain& OpenWithRows() {
    frmMain& f = Open();
    f.resize(1100, 700);
    f.mnuViewWaterfall->trigger();
    f.mnuOptionsWindow->trigger();
    for (int i = 0; i < 3; ++i) {
      ShowBlock(f, i < 2 ? blocks::CarrierBlock({{kLowPoint, 30}}) : blocks::CarrierBlock({{kHighPoint, 100}}));
      f.WaterfallView().TakeDataSet(kNoon + 3000 * i);
    }
    f.tbMain_ButtonClick("ZoomFitView");
    return f;
  }

  // The middle of the columns where the current trace reaches highest.
  static int PlotPeakColumn(frmMain& f) {
    const QImage& image = f.picSpectrum->Image();
    const QRgb trace = forms::RgbFromColorRef(f.View().Palettes()[0][kSlotSpectrumTrace]);
    for (int y = 0; y < image.height(); ++y) {
      std::vector<int> columns;
      for (int x = 0; x < image.width(); ++x)
        if (image.pixel(x, y) == trace) columns.push_back(x);
      if (!columns.empty()) return (columns.front() + columns.back()) / 2;
    }
    return -1;
  }

  // The columns of the newest row in the hottest colour, as [first, last].
  static std::pair<int, int> WaterfallPeakColumns(frmMain& f) {
    const QImage picture = f.WaterfallView().Picture();
    const auto colours = WaterfallColours(0);
    int hottest = -1;
    std::pair<int, int> columns{-1, -1};
    for (int x = 0; x < picture.width(); ++x) {
      const auto at = std::find(colours.begin(), colours.end(), picture.pixel(x, 0));
      if (at == colours.end()) continue;
      const int step = static_cast<int>(at - colours.begin());
      if (step > hottest) columns = {x, x};
      if (step == hottest) columns.second = x;
      hottest = std::max(hottest, step);
    }
    return columns;
  }

  static float CarrierX(frmMain& f) { return f.Spectrum().Traces().TraceX[0][kHighPoint - 1]; }
};

TEST_F(WaterfallTest, ItsColumnsStayUnderThePlotsAsTheViewMoves) {
  frmMain& f = OpenWithRows();
  const float x = CarrierX(f);
  const float y = -f.Spectrum().Traces().TraceY[0][kHighPoint - 1];
  const auto check = [&](const char* view) {
    const int plot = PlotPeakColumn(f);
    const auto [first, last] = WaterfallPeakColumns(f);
    ASSERT_GE(plot, 0) << view;
    EXPECT_LE(first, plot) << view;
    EXPECT_GE(last, plot) << view;
    EXPECT_LE(std::abs((first + last) / 2 - plot), 1) << view << ": " << first << ".." << last << " under " << plot;
  };
  check("fit");
  for (int i = 0; i < 2; ++i) f.View().ZoomInView(x, y);
  check("a point a pixel");
  for (int i = 0; i < 5; ++i) f.View().ZoomInView(x, y);
  check("zoomed in");
  f.View().PanView(37);
  check("panned");
  // The colour scale follows the visible range.
  const QString tip = f.WaterfallView().ToolTipAt({PlotPeakColumn(f), 0});
  EXPECT_TRUE(tip.contains(QString::fromStdString(vb::Format(-y, "###0.00dB")))) << tip.toStdString();
}

TEST_F(WaterfallTest, ItsHottestColourIsTheTopOfThePlottingArea) {
  frmMain& f = OpenWithRows();
  const float x = CarrierX(f);
  const float level = f.Spectrum().Traces().TraceY[0][kHighPoint - 1];
  // The view's top a little below the carrier: the plot cuts the carrier
  // off at its top, and the colours end there too.
  ViewRect view = f.View().Window();
  view.Top = -(level - 5);
  view.Height = 100;
  f.View().ZoomToView(view);
  ASSERT_NEAR(f.View().VisibleLevels().TopDb, level - 5, 0.01);
  const int column = PlotPeakColumn(f);
  const QImage picture = f.WaterfallView().Picture();
  EXPECT_EQ(picture.pixel(column, 0), WaterfallColours(0).back()) << "under " << x;
}

TEST_F(WaterfallTest, TheNewestRowIsOnTopWithItsTimeFrequencyAndLevel) {
  frmMain& f = OpenWithRows();
  const int column = PlotPeakColumn(f);
  const QString newest = f.WaterfallView().ToolTipAt({column, 0});
  const QString older = f.WaterfallView().ToolTipAt({column, 1});
  const QString time = QDateTime::fromMSecsSinceEpoch(kNoon + 6000).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
  EXPECT_TRUE(newest.startsWith(QStringLiteral("Time: ") + time)) << newest.toStdString();
  // The frequency of the column under the pointer: within a column of the
  // carrier's.
  const SampleBlock& block = f.Spectrum().Block();
  const double mhz = newest.section(QStringLiteral("Frequency: "), 1).section(QStringLiteral("MHz"), 0, 0).toDouble();
  const double columnMHz = 1.0 / f.View().Columns().Scale / 10.0 / block.SpanScale;
  EXPECT_NEAR(mhz, CarrierX(f) / 10.0 / block.SpanScale, columnMHz) << newest.toStdString();
  EXPECT_TRUE(older.contains(QDateTime::fromMSecsSinceEpoch(kNoon + 3000).toString(QStringLiteral("HH:mm:ss"))));
  // Far below the carrier in the row before it.
  const auto level = [](const QString& tip) { return tip.section(QStringLiteral("Level: "), 1).chopped(2).toDouble(); };
  EXPECT_GT(level(newest), 100.0);
  EXPECT_LT(level(older), 60.0);
  // Below the oldest row, and left of the rows, there is nothing to tell.
  EXPECT_TRUE(f.WaterfallView().ToolTipAt({column, 3}).isEmpty());
  EXPECT_TRUE(f.WaterfallView().ToolTipAt({2, 0}).isEmpty());
}

TEST_F(WaterfallTest, AClickInItChangesNothing) {
  frmMain& f = OpenWithRows();
  const ViewRect view = f.View().Window();
  const SelectionState selection = f.Navigator().Selection();
  for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
    QTest::mouseClick(f.picWaterfall, button, {}, QPoint(f.picWaterfall->width() / 2, 1));
    QTest::mouseDClick(f.picWaterfall, button, {}, QPoint(f.picWaterfall->width() / 2, 1));
  }
  EXPECT_EQ(f.View().Window().Left, view.Left);
  EXPECT_EQ(f.View().Window().Width, view.Width);
  EXPECT_EQ(f.View().Window().Top, view.Top);
  EXPECT_EQ(f.Navigator().Selection().SelectedPoint, selection.SelectedPoint);
  EXPECT_EQ(f.Navigator().Selection().SelectedX, selection.SelectedX);
  EXPECT_TRUE(forms::DialogSeam::Shown().empty());
}

TEST_F(WaterfallTest, ThePrintingPaletteGivesALightBackground) {
  frmMain& f = OpenWithRows();
  const auto below = [&] {
    const QImage picture = f.WaterfallView().Picture();
    return picture.pixel(picture.width() / 2, 10) & 0xFFFFFF;
  };
  EXPECT_EQ(below(), 0x000000u);
  f.mnuOptionsPalette[1]->trigger();
  EXPECT_EQ(below(), 0xFFFFFFu);
  // The floor of the newest row is paper-coloured too.
  const QImage picture = f.WaterfallView().Picture();
  EXPECT_GT(qGray(picture.pixel(f.View().Columns().First + 2, 0)), 200);
}

TEST_F(WaterfallTest, OffAtFirstThenSplitAndKeptBetweenRuns) {
  frmMain& f = Open();
  const QRect plot = f.picSpectrum->geometry();
  const int areaBottom = f.hScroll->geometry().bottom();
  EXPECT_FALSE(f.picWaterfall->isVisible());
  EXPECT_FALSE(f.mnuViewWaterfall->isChecked());
  EXPECT_EQ(f.mnuViewWaterfall->shortcut(), QKeySequence(Qt::Key_F7));

  f.mnuViewWaterfall->trigger();
  ASSERT_TRUE(f.picWaterfall->isVisible());
  EXPECT_LT(f.picSpectrum->height(), plot.height());
  EXPECT_EQ(f.picWaterfall->x(), plot.x());
  EXPECT_EQ(f.picWaterfall->width(), plot.width());
  EXPECT_GT(f.picWaterfall->y(), f.hScroll->geometry().bottom());
  // It ends where the plot area ended.
  EXPECT_EQ(f.picWaterfall->geometry().bottom(), areaBottom);

  // Dragging the handle up gives the waterfall more of the plot area.
  const int before = f.picWaterfall->height();
  const QPoint grip(f.splitWaterfall->width() / 2, f.splitWaterfall->height() / 2);
  QTest::mousePress(f.splitWaterfall, Qt::LeftButton, {}, grip);
  QTest::mouseMove(f.splitWaterfall, grip - QPoint(0, 40));
  QTest::mouseRelease(f.splitWaterfall, Qt::LeftButton, {}, grip - QPoint(0, 40));
  EXPECT_NEAR(f.picWaterfall->height(), before + 40, 2);
  const float share = f.WaterfallView().Share();

  Close();
  frmMain& again = Open();
  EXPECT_TRUE(again.picWaterfall->isVisible());
  EXPECT_EQ(again.WaterfallView().Share(), share);
  again.mnuViewWaterfall->trigger();
  EXPECT_FALSE(again.picWaterfall->isVisible());
  EXPECT_EQ(again.picSpectrum->geometry(), plot);
}

}  // namespace
}  // namespace specterm
