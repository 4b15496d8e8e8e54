// File > Save Picture: the plot region as the window shows it, pixel for
// pixel in either palette, with the caption line under it; a splitter that
// puts something under the plot is saved with it; SVG by the name; the
// caption's own items and a caption source's.

#include "FormFixture.h"
#include "TestSupport.h"
#include "forms/PictureBox.h"

#include <QLabel>
#include <QSplitter>

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

TEST_F(PictureTest, WhatIsShownUnderThePlotInItsSplitterIsSavedWithIt) {
  frmMain& f = OpenWithData();
  // As a waterfall would be placed: the plot and a strip under it in one
  // splitter, where the plot was.
  auto* splitter = new QSplitter(Qt::Vertical, f.client);
  splitter->setGeometry(f.picSpectrum->geometry().adjusted(0, 0, 0, 120));
  splitter->addWidget(f.picSpectrum);
  auto* strip = new QLabel(QStringLiteral("waterfall"));
  strip->setAutoFillBackground(true);
  splitter->addWidget(strip);
  splitter->show();
  EXPECT_EQ(f.Pictures().PlotRegion(), splitter);
  const QImage saved = SaveAndLoad(f, "both.png");
  EXPECT_EQ(saved.width(), splitter->width());
  EXPECT_GT(saved.height(), splitter->height());
  const QImage region = splitter->grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(saved.copy(0, 0, region.width(), region.height()), region);
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
