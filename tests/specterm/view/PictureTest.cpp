// File > Save Picture: the plot region as the window shows it, pixel for
// pixel in either palette, with the caption line under it; the waterfall
// and the measurement dock's values when shown; SVG by the name; the
// caption's own items and a caption source's.

#include "FormFixture.h"
#include "TestSupport.h"
#include "forms/PictureBox.h"

namespace specterm {
namespace {

using forms::DialogSeam::QueueFileAnswer;

class PictureTest : public testing::FormTest {
 protected:
  frmMain& OpenWithData() {
    frmMain& f = Open();
    f.resize(900, 640);
    f.Pictures().SetFolder(QString::fromStdString(folder.Path() + "/"));
    ShowBlock(f, blocks::ToneBlock(700000, 1, 300, 7));
    ShowBlock(f, blocks::ToneBlock(700000, 1, 300, 8));
    return f;
  }
  // Saves through the menu and reads the PNG back.
  QImage SaveAndLoad(frmMain& f, const std::string& name) {
    QueueFileAnswer(QString::fromStdString(folder.File(name)));
    f.mnuFileSavePicture->trigger();
    return QImage(QString::fromStdString(folder.File(name))).convertToFormat(QImage::Format_RGB32);
  }
  testsupport::TempDir folder;
};

class PicturePalettes : public PictureTest, public ::testing::WithParamInterface<int> {};

TEST_P(PicturePalettes, ThePlotRegionIsThePlotPixelForPixelWithTheCaptionUnderIt) {
  frmMain& f = OpenWithData();
  f.mnuOptionsPalette_Click(GetParam());
  const QImage plot = f.picSpectrum->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QImage saved = SaveAndLoad(f, "plot.png");
  ASSERT_EQ(saved.width(), plot.width());
  ASSERT_GT(saved.height(), plot.height());
  EXPECT_EQ(saved.copy(0, 0, plot.width(), plot.height()), plot);
  // The caption line: the background with text in the legend colour.
  const PaletteColors& colors = f.View().Palettes()[static_cast<std::size_t>(GetParam())];
  const QRgb legend = forms::RgbFromColorRef(colors[kSlotLegendScale]) | 0xFF000000u;
  int legendPixels = 0;
  for (int y = plot.height(); y < saved.height(); ++y)
    for (int x = 0; x < saved.width(); ++x) legendPixels += saved.pixel(x, y) == legend ? 1 : 0;
  EXPECT_GT(legendPixels, 20);
  EXPECT_EQ(saved.pixel(saved.width() - 1, saved.height() - 1),
            forms::RgbFromColorRef(colors[kSlotBackground]) | 0xFF000000u);
}

INSTANTIATE_TEST_SUITE_P(Palettes, PicturePalettes, ::testing::Values(0, 1));

TEST_F(PictureTest, TheWaterfallAndTheDocksValuesAreSavedWhenShown) {
  frmMain& f = OpenWithData();
  f.mnuViewWaterfall->trigger();
  f.mnuViewMeasurements->trigger();
  ASSERT_TRUE(testsupport::WaitUntil([&] { return f.picWaterfall->isVisible() && f.Measurer().Shown(); }));
  ShowBlock(f, blocks::ToneBlock(700000, 1, 300, 9));
  const QImage plot = f.picSpectrum->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QImage waterfall = f.picWaterfall->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QImage saved = SaveAndLoad(f, "both.png");
  const int waterfallTop = f.picWaterfall->y() - f.picSpectrum->y();
  ASSERT_GE(saved.height(), waterfallTop + waterfall.height());
  EXPECT_EQ(saved.copy(0, 0, plot.width(), plot.height()), plot);
  EXPECT_EQ(saved.copy(f.picWaterfall->x() - f.picSpectrum->x(), waterfallTop, waterfall.width(), waterfall.height()),
            waterfall);
  EXPECT_TRUE(f.Pictures().CaptionLine().endsWith(f.Measurer().CaptionLine()))
      << f.Pictures().CaptionLine().toStdString();

  f.mnuViewMeasurements->trigger();
  EXPECT_FALSE(f.Pictures().CaptionLine().contains(f.Measurer().CaptionLine()));
}

TEST_F(PictureTest, CaptionNamesTheViewAndTakesASourcesItemsAndSvgFollowsTheName) {
  frmMain& f = OpenWithData();
  f.tbMain_ButtonClick("ZoomFitView");
  f.mnuViewDBB_Click(9);
  const QString caption = f.Pictures().CaptionLine();
  for (const char* item : {"Center ", " MHz", "Span ", "10.00 dB/div", "RBW 6.104 kHz"})
    EXPECT_TRUE(caption.contains(item)) << item << " in " << caption.toStdString();
  f.Pictures().SetCaptionSource([] { return QStringList{QStringLiteral("Peak -12.5 dB")}; });
  EXPECT_TRUE(f.Pictures().CaptionLine().endsWith("Peak -12.5 dB"));

  QueueFileAnswer(QString::fromStdString(folder.File("plot.svg")));
  f.mnuFileSavePicture->trigger();
  const std::string svg = testsupport::ReadFile(folder.File("plot.svg"));
  EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
  EXPECT_NE(svg.find("data:image/png;base64,"), std::string::npos);
  EXPECT_NE(svg.find("Peak -12.5 dB"), std::string::npos);
}

}  // namespace
}  // namespace specterm
