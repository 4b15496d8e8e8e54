// Choosing and editing the palettes through the menus and the colour
// dialog seam.

#include "FormFixture.h"
#include "forms/KeyedToolBar.h"
#include "forms/PictureBox.h"
#include "view/Icons.h"

#include <QAction>

namespace specterm {
namespace {

class PaletteTest : public testing::FormTest {};

// A pixel of the background near the centre: between the grid lines of the
// fit view (25 MHz / 10 dB steps) and off the threshold line at 0 dB.
QRgb CentrePixel(forms::PictureBox* pic) {
  const QImage& img = pic->Image();
  return img.pixel(static_cast<int>(pic->PixelX(712.5)), static_cast<int>(pic->PixelY(-5.0)));
}

TEST_F(PaletteTest, ChoosingThePrintingPaletteRedrawsInItsColours) {
  frmMain& f = Open();
  f.mnuOptionsPalette[1]->trigger();
  EXPECT_EQ(f.View().CurrentPalette(), 1);
  EXPECT_TRUE(f.mnuOptionsPalette[1]->isChecked());
  EXPECT_FALSE(f.mnuOptionsPalette[0]->isChecked());
  EXPECT_EQ(CentrePixel(f.picSpectrum), qRgb(255, 255, 255));
  // Choosing the palette in use again keeps its check mark.
  f.mnuOptionsPalette[1]->trigger();
  EXPECT_TRUE(f.mnuOptionsPalette[1]->isChecked());
  f.mnuOptionsPalette[0]->trigger();
  EXPECT_EQ(f.View().CurrentPalette(), 0);
  EXPECT_TRUE(f.mnuOptionsPalette[0]->isChecked());
  EXPECT_FALSE(f.mnuOptionsPalette[1]->isChecked());
  EXPECT_EQ(CentrePixel(f.picSpectrum), qRgb(0, 0, 0));
}

TEST_F(PaletteTest, EditingAColourAsksWithItsTitleAndCurrentColour) {
  frmMain& f = Open();
  forms::DialogSeam::QueueColorAnswer(0x123456);
  f.findChild<QAction*>("mnuOptionsFGColor0")->trigger();
  const auto shown = forms::DialogSeam::Shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].kind, forms::ShownDialog::Kind::ColorDialog);
  EXPECT_EQ(shown[0].title, "Select Analyzer Spectrum Trace Color");
  EXPECT_EQ(shown[0].color, 0x00FF00u);
  EXPECT_EQ(f.View().Palettes()[0][kSlotSpectrumTrace], 0x123456u);
  EXPECT_EQ(f.View().Palettes()[1][kSlotSpectrumTrace], 0x008000u);
}

TEST_F(PaletteTest, EveryColourItemEditsItsOwnSlotAndPalette) {
  frmMain& f = Open();
  const struct {
    const char* item;
    int palette;
    int slot;
    const char* title;
  } items[] = {
      {"mnuOptionsBGColor1", 1, kSlotBackground, "Select Analyzer Background Color"},
      {"mnuOptionsTMColor0", 0, kSlotLegendScale, "Select Analyzer Tick Marks Color"},
      {"mnuOptionsGLColor1", 1, kSlotGridLines, "Select Analyzer Grid Lines Color"},
      {"mnuOptionsPTColor0", 0, kSlotPeakThreshold, "Select Minumum Peak Threshold Color"},
      {"mnuOptionsPHColor1", 1, kSlotPeakHold, "Select Peak Hold Trace Color"},
      {"mnuOptionsVAColor0", 0, kSlotVideoAverage, "Select Video Average Trace Color"},
      {"mnuOptionsLTColor1", 1, kSlotPreviousTrace, "Select Previous Trace Color"},
  };
  std::uint32_t colour = 0x010203;
  for (const auto& item : items) {
    forms::DialogSeam::ClearShown();
    forms::DialogSeam::QueueColorAnswer(colour);
    f.findChild<QAction*>(item.item)->trigger();
    ASSERT_EQ(forms::DialogSeam::Shown().size(), 1u) << item.item;
    EXPECT_EQ(forms::DialogSeam::Shown()[0].title, item.title);
    EXPECT_EQ(f.View().Palettes()[static_cast<std::size_t>(item.palette)][static_cast<std::size_t>(item.slot)], colour)
        << item.item;
    colour += 0x010101;
  }
  EXPECT_EQ(f.findChild<QAction*>("mnuOptionsFGColor1")->text(), "&Spectrum Trace  Color");
}

TEST_F(PaletteTest, ACancelledColourDialogChangesNothing) {
  frmMain& f = Open();
  const auto before = f.View().Palettes();
  forms::DialogSeam::QueueColorAnswer(std::nullopt);
  f.findChild<QAction*>("mnuOptionsBGColor0")->trigger();
  EXPECT_EQ(forms::DialogSeam::Shown().size(), 1u);
  EXPECT_EQ(f.View().Palettes(), before);
  EXPECT_EQ(CentrePixel(f.picSpectrum), qRgb(0, 0, 0));
}

TEST_F(PaletteTest, EditingTheBackgroundOfThePaletteNotInUseLeavesThePlotDrawn) {
  frmMain& f = Open();
  const QImage before = f.picSpectrum->Image().copy();
  forms::DialogSeam::QueueColorAnswer(0x0000FF);
  f.findChild<QAction*>("mnuOptionsBGColor1")->trigger();
  EXPECT_EQ(f.View().Palettes()[1][kSlotBackground], 0x0000FFu);
  EXPECT_EQ(f.View().Palettes()[0][kSlotBackground], 0u);
  // Still the viewing palette's plot, grid and labels included, not a
  // picture blanked in the printing palette's background.
  EXPECT_EQ(f.picSpectrum->Image(), before);
}

TEST_F(PaletteTest, OtherColoursOfThePaletteNotInUseLeaveThePictureAlone) {
  frmMain& f = Open();
  const QImage before = f.picSpectrum->Image().copy();
  forms::DialogSeam::QueueColorAnswer(0x00FFFF);
  f.findChild<QAction*>("mnuOptionsGLColor1")->trigger();
  EXPECT_EQ(f.picSpectrum->Image(), before);
}

TEST_F(PaletteTest, ANewBackgroundReloadsTheCustomPointerOfTheMouseMode) {
  frmMain& f = Open();
  f.tbMain->ClickButton("ZoomOut");
  ASSERT_EQ(f.Modes().Mouse().Mode, MouseMode::ZoomOut);
  QPixmap other(32, 32);
  other.fill(Qt::green);
  f.picSpectrum->SetMouseIcon(QCursor(other));
  f.picSpectrum->SetMousePointer(forms::vbCustom);
  forms::DialogSeam::QueueColorAnswer(0x202020);
  f.findChild<QAction*>("mnuOptionsBGColor0")->trigger();
  EXPECT_EQ(f.picSpectrum->MouseIcon().pixmap().toImage(), f.imgCursors.Picture(kPointerZoomOut).toImage());
  EXPECT_EQ(CentrePixel(f.picSpectrum), qRgb(0x20, 0x20, 0x20));
}

TEST(PointerImageTest, ModesMapToTheirImages) {
  EXPECT_EQ(PointerImageFor(MouseMode::ZoomWindow), 1);
  EXPECT_EQ(PointerImageFor(MouseMode::ZoomIn), 2);
  EXPECT_EQ(PointerImageFor(MouseMode::ZoomOut), 3);
  EXPECT_EQ(PointerImageFor(MouseMode::Pan), 5);
  EXPECT_EQ(PointerImageFor(MouseMode::Select), 5);
}

}  // namespace
}  // namespace specterm
