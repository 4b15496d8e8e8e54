#include "forms/PictureBox.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

using forms::PictureBox;

// A picture with a busy background, so that an invert that lost or doubled
// a pixel shows up in the comparison.
class PictureBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    pic.resize(200, 120);
    pic.SetBackColor(0x203040);
    pic.SetScaleLeft(550);
    pic.SetScaleTop(-125);
    pic.SetScaleWidth(300);
    pic.SetScaleHeight(250);
    for (int i = 0; i < 40; ++i) pic.Line(550 + i * 7.5f, -125, 850 - i * 3.0f, 125, 0x00FF00 + i * 5);
  }
  static int DifferingPixels(const QImage& a, const QImage& b) {
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
      for (int x = 0; x < a.width(); ++x)
        if (a.pixel(x, y) != b.pixel(x, y)) ++count;
    return count;
  }
  PictureBox pic;
};

TEST_F(PictureBoxTest, InvertDrawnTwiceRestoresEveryPixel) {
  const QImage before = pic.Image().copy();
  auto figures = [&] {
    pic.SetDrawMode(forms::vbInvert);
    pic.SetDrawStyle(forms::vbDot);
    pic.Line(600, -125, 600, 125, 0xFF00FF);
    pic.Line(550, -20, 850, -20, 0xFF00FF);
    pic.Line(600, -20, 790, 60, 0xFF00FF);
    pic.SetDrawStyle(forms::vbSolid);
    pic.Circle(700, 0, 6, 0x00FFFF);
    pic.Box(620, -60, 700, 30, 0x00FFFF);
    pic.FilledBox(720, -10, 760, 20, 0x00FFFF);
    pic.SetDrawWidth(3);
    pic.Line(560, 100, 840, -100);
    pic.SetDrawWidth(1);
    pic.SetCurrentX(560);
    pic.SetCurrentY(-100);
    pic.Print(QStringLiteral("-125.00dB"));
    pic.PrintRotated(QStringLiteral("700.000MHz"), 650, -30, QStringLiteral("Courier New"), 11, 900);
    // A figure far outside the view, as the threshold line may be.
    pic.Line(550, -1e9f, 850, 3e9f);
    pic.SetDrawMode(forms::vbCopyPen);
  };
  figures();
  const QImage once = pic.Image().copy();
  EXPECT_GT(DifferingPixels(before, once), 500);
  figures();
  EXPECT_EQ(DifferingPixels(before, pic.Image()), 0);
}

TEST_F(PictureBoxTest, CopyPenOverwritesAndInvertIgnoresTheColour) {
  pic.Cls();
  pic.SetDrawMode(forms::vbInvert);
  pic.FilledBox(550, -125, 850, 125, 0x0000FF);
  // Inverting 0x203040 (R=0x40 G=0x30 B=0x20) gives 0xBF, 0xCF, 0xDF whatever the pen.
  EXPECT_EQ(pic.Image().pixel(10, 10), qRgb(0xBF, 0xCF, 0xDF));
  pic.SetDrawMode(forms::vbCopyPen);
  pic.FilledBox(550, -125, 850, 125, 0x0000FF);
  EXPECT_EQ(pic.Image().pixel(10, 10), qRgb(0xFF, 0, 0));
}

TEST_F(PictureBoxTest, LinesLeaveOutTheirLastPixelAndBoxesIncludeBothCorners) {
  pic.SetScaleMode(forms::vbPixels);
  pic.Cls();
  pic.Line(10, 10, 20, 10, 0xFFFFFF);
  const QImage& img = pic.Image();
  EXPECT_EQ(img.pixel(10, 10), qRgb(255, 255, 255));
  EXPECT_EQ(img.pixel(19, 10), qRgb(255, 255, 255));
  EXPECT_NE(img.pixel(20, 10), qRgb(255, 255, 255));
  EXPECT_EQ(pic.CurrentX(), 20);
  pic.Box(30, 30, 40, 35, 0x0000FF);
  const QImage& boxed = pic.Image();
  EXPECT_EQ(boxed.pixel(30, 30), qRgb(255, 0, 0));
  EXPECT_EQ(boxed.pixel(40, 35), qRgb(255, 0, 0));
  EXPECT_NE(boxed.pixel(35, 32), qRgb(255, 0, 0));
}

TEST_F(PictureBoxTest, WideLinesCoverTheirWidthWithoutGapsAtJoints) {
  pic.SetScaleMode(forms::vbPixels);
  pic.SetBackColor(0);
  pic.SetDrawWidth(3);
  pic.Line(10, 20, 40, 20, 0xFFFFFF);  // horizontal: rows 19..21
  pic.LineTo(40, 60, 0xFFFFFF);        // then down: columns 39..41
  const QImage& img = pic.Image();
  const QRgb white = qRgb(255, 255, 255);
  for (int y : {19, 20, 21}) EXPECT_EQ(img.pixel(25, y), white) << y;
  EXPECT_NE(img.pixel(25, 18), white);
  EXPECT_NE(img.pixel(25, 22), white);
  for (int x : {39, 40, 41}) EXPECT_EQ(img.pixel(x, 45), white) << x;
  // The corner where the two meet is closed.
  for (int y = 19; y <= 21; ++y)
    for (int x = 39; x <= 41; ++x) EXPECT_EQ(img.pixel(x, y), white) << x << "," << y;
}

TEST_F(PictureBoxTest, PolylineDrawsWhatItsLinesDraw) {
  // A zigzag that leaves the picture on both sides and comes back, at
  // values a float holds exactly, as Line takes them.
  std::vector<QPointF> points;
  for (int i = 0; i <= 60; ++i)
    points.emplace_back(500 + i * 7.25, (i % 2 ? 1 : -1) * (40.0 + 3 * i) + (i > 30 ? 200 : 0));
  const QImage start = pic.Image().copy();
  for (std::size_t i = 1; i < points.size(); ++i)
    pic.Line(points[i - 1].x(), points[i - 1].y(), points[i].x(), points[i].y(), 0xFFFFFF);
  const QImage byLines = pic.Image().copy();
  ASSERT_GT(DifferingPixels(start, byLines), 300);
  SetUp();
  pic.Polyline(points, 0xFFFFFF);
  // The same lines; where separate lines turn back, the last pixel one
  // leaves out and the first the next one leaves out is the same pixel, and
  // the joined lines keep it.
  const QImage& joined = pic.Image();
  int added = 0;
  for (int y = 0; y < joined.height(); ++y)
    for (int x = 0; x < joined.width(); ++x)
      if (joined.pixel(x, y) != byLines.pixel(x, y)) {
        EXPECT_EQ(joined.pixel(x, y), qRgb(255, 255, 255)) << x << "," << y;
        ++added;
      }
  EXPECT_LE(added, static_cast<int>(points.size()) / 2);
  EXPECT_FLOAT_EQ(pic.CurrentX(), static_cast<float>(points.back().x()));
  EXPECT_FLOAT_EQ(pic.CurrentY(), static_cast<float>(points.back().y()));

  // Inverted, it is undone by drawing it again; wide, it covers its width.
  SetUp();
  const QImage before = pic.Image().copy();
  pic.SetDrawMode(forms::vbInvert);
  pic.Polyline(points);
  EXPECT_GT(DifferingPixels(before, pic.Image()), 300);
  pic.Polyline(points);
  EXPECT_EQ(DifferingPixels(before, pic.Image()), 0);
  pic.SetDrawMode(forms::vbCopyPen);
  pic.SetDrawWidth(3);
  pic.Polyline(std::vector<QPointF>{{560, 0}, {840, 0}}, 0xFFFFFF);
  for (int dy = -1; dy <= 1; ++dy) EXPECT_EQ(pic.Image().pixel(100, 60 + dy), qRgb(255, 255, 255)) << dy;
}

// While drawing is cut to the scale's area, no line of any pen reaches the
// insets, whether the painter or the direct rasteriser lays it down.
TEST_F(PictureBoxTest, ClipToScaleAreaKeepsEveryPenOutOfTheInsets) {
  pic.SetScaleInsets(QMargins(30, 10, 20, 15));
  const QRect area(30, 10, 150, 95);
  struct Pen {
    int width, style, mode;
  };
  for (const Pen pen : {Pen{1, forms::vbSolid, forms::vbCopyPen}, Pen{1, forms::vbDot, forms::vbInvert},
                        Pen{3, forms::vbSolid, forms::vbCopyPen}, Pen{3, forms::vbSolid, forms::vbInvert}}) {
    SetUp();
    const QImage before = pic.Image().copy();
    pic.SetDrawWidth(pen.width);
    pic.SetDrawStyle(pen.style);
    pic.SetDrawMode(pen.mode);
    pic.SetClipToScaleArea(true);
    pic.Line(500, -200, 900, 200, 0xFFFFFF);
    pic.Polyline(std::vector<QPointF>{{500, 150}, {700, -150}, {900, 150}}, 0xFFFFFF);
    pic.SetClipToScaleArea(false);
    const QImage& after = pic.Image();
    int inside = 0;
    for (int y = 0; y < after.height(); ++y)
      for (int x = 0; x < after.width(); ++x)
        if (after.pixel(x, y) != before.pixel(x, y)) {
          EXPECT_TRUE(area.contains(x, y)) << pen.width << "/" << pen.mode << " at " << x << "," << y;
          ++inside;
        }
    EXPECT_GT(inside, 50) << pen.width << "/" << pen.mode;
  }
}

TEST_F(PictureBoxTest, ScaleModesMapUnitsToPixels) {
  // User scale: 300 x units over 200 pixels, 250 y units over 120 pixels.
  EXPECT_DOUBLE_EQ(pic.PixelX(700), 100.0);
  EXPECT_DOUBLE_EQ(pic.PixelY(0), 60.0);
  EXPECT_DOUBLE_EQ(pic.ScaleFromPixelX(200), 850.0);
  pic.SetScaleMode(forms::vbPixels);
  EXPECT_FLOAT_EQ(pic.ScaleWidth(), 200);
  EXPECT_FLOAT_EQ(pic.ScaleHeight(), 120);
  EXPECT_FLOAT_EQ(pic.ScaleLeft(), 0);
  pic.SetScaleMode(forms::vbTwips);
  EXPECT_FLOAT_EQ(pic.ScaleWidth(), 3000);
  EXPECT_FLOAT_EQ(pic.ScaleHeight(), 1800);
  // Assigning a scale value returns to the user scale.
  pic.SetScaleLeft(10);
  EXPECT_EQ(pic.ScaleMode(), forms::vbUser);
  EXPECT_FLOAT_EQ(pic.ScaleWidth(), 3000);
}

TEST_F(PictureBoxTest, TextMeasuresAreInScaleUnits) {
  pic.SetFontName(QStringLiteral("Courier New"));
  const float userWidth = pic.TextWidth(QStringLiteral("-125.00dB"));
  const float userHeight = pic.TextHeight();
  pic.SetScaleMode(forms::vbPixels);
  const float pixelWidth = pic.TextWidth(QStringLiteral("-125.00dB"));
  const float pixelHeight = pic.TextHeight();
  EXPECT_GT(pixelWidth, 20);
  EXPECT_NEAR(userWidth, pixelWidth * 300.0f / 200.0f, 1e-3);
  EXPECT_NEAR(userHeight, pixelHeight * 250.0f / 120.0f, 1e-3);
  // A monospaced face: every character is as wide as any other.
  EXPECT_FLOAT_EQ(pic.TextWidth(QStringLiteral("iiii")), pic.TextWidth(QStringLiteral("MMMM")));
}

// Bounding box of the pixels that are not the background.
QRect Inked(const QImage& img, QRgb background) {
  QRect box;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (img.pixel(x, y) != background) box |= QRect(x, y, 1, 1);
  return box;
}

TEST_F(PictureBoxTest, RotatedTextReadsUpwardsFromItsPoint) {
  pic.SetScaleMode(forms::vbPixels);
  pic.SetBackColor(0);
  pic.SetForeColor(0x00FFFF);
  pic.PrintRotated(QStringLiteral("700.000MHz"), 100, 110, QStringLiteral("Courier New"), 11, 900);
  const QRect ink = Inked(pic.Image(), qRgb(0, 0, 0));
  ASSERT_TRUE(ink.isValid());
  EXPECT_GT(ink.height(), 3 * ink.width());  // upright
  EXPECT_LE(ink.bottom(), 110);              // rises from the point
  EXPECT_GE(ink.left(), 100);                // the line of text lies right of it
  EXPECT_LE(ink.right(), 100 + 11);
}

TEST_F(PictureBoxTest, PrintStartsAtTheCurrentPointAndMovesToTheNextLine) {
  pic.SetScaleMode(forms::vbPixels);
  pic.SetBackColor(0);
  pic.SetForeColor(0xFFFFFF);
  pic.SetCurrentX(20);
  pic.SetCurrentY(30);
  const float height = pic.TextHeight();
  pic.Print(QStringLiteral("-90.00dB"));
  EXPECT_FLOAT_EQ(pic.CurrentX(), 0);
  EXPECT_FLOAT_EQ(pic.CurrentY(), 30 + height);
  const QRect ink = Inked(pic.Image(), qRgb(0, 0, 0));
  EXPECT_GE(ink.left(), 20);
  EXPECT_GE(ink.top(), 30);
  EXPECT_LE(ink.bottom(), 30 + height);
  EXPECT_NEAR(ink.width(), pic.TextWidth(QStringLiteral("-90.00dB")), 3);
}

TEST_F(PictureBoxTest, ImageIsKeptAcrossResizeUntilRedrawn) {
  pic.SetScaleMode(forms::vbPixels);
  pic.FilledBox(0, 0, 9, 9, 0x00FFFF);
  pic.resize(300, 200);
  const QImage& img = pic.Image();
  EXPECT_EQ(img.size(), QSize(300, 200));
  EXPECT_EQ(img.pixel(5, 5), qRgb(255, 255, 0));
  EXPECT_EQ(img.pixel(250, 150), qRgb(0x40, 0x30, 0x20));
  EXPECT_FLOAT_EQ(pic.ScaleWidth(), 300);  // the pixel scale follows the size
}

TEST_F(PictureBoxTest, UserScaleIsKeptAcrossResize) {
  pic.resize(400, 240);
  EXPECT_FLOAT_EQ(pic.ScaleLeft(), 550);
  EXPECT_FLOAT_EQ(pic.ScaleWidth(), 300);
  EXPECT_DOUBLE_EQ(pic.PixelX(700), 200.0);
}

TEST_F(PictureBoxTest, BackColorClearsThePicture) {
  pic.SetBackColor(0x0000FF);
  const QImage& img = pic.Image();
  EXPECT_EQ(img.pixel(0, 0), qRgb(255, 0, 0));
  EXPECT_EQ(img.pixel(199, 119), qRgb(255, 0, 0));
}

TEST_F(PictureBoxTest, MouseEventsArriveInScaleUnits) {
  pic.show();
  QSignalSpy down(&pic, &PictureBox::MouseDown);
  QSignalSpy up(&pic, &PictureBox::MouseUp);
  QSignalSpy click(&pic, &PictureBox::Click);
  QTest::mousePress(&pic, Qt::RightButton, Qt::ControlModifier, QPoint(100, 60));
  QTest::mouseRelease(&pic, Qt::RightButton, Qt::ControlModifier, QPoint(100, 60));
  ASSERT_EQ(down.count(), 1);
  EXPECT_EQ(down[0][0].toInt(), forms::vbRightButton);
  EXPECT_EQ(down[0][1].toInt(), forms::vbCtrlMask);
  EXPECT_FLOAT_EQ(down[0][2].toFloat(), 700.0f);
  EXPECT_FLOAT_EQ(down[0][3].toFloat(), 0.0f);
  EXPECT_EQ(up.count(), 1);
  EXPECT_EQ(click.count(), 1);
}

TEST_F(PictureBoxTest, DoubleClickGivesOneClickAndOneDoubleClick) {
  pic.show();
  QSignalSpy click(&pic, &PictureBox::Click);
  QSignalSpy dbl(&pic, &PictureBox::DblClick);
  QTest::mouseDClick(&pic, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
  EXPECT_EQ(dbl.count(), 1);
  EXPECT_LE(click.count(), 1);
}

TEST_F(PictureBoxTest, CustomPointerShowsTheIcon) {
  QPixmap icon(32, 32);
  icon.fill(Qt::red);
  pic.SetMouseIcon(QCursor(icon, 16, 16));
  pic.SetMousePointer(forms::vbCustom);
  EXPECT_EQ(pic.cursor().shape(), Qt::BitmapCursor);
  pic.SetMousePointer(forms::vbCrosshair);
  EXPECT_EQ(pic.cursor().shape(), Qt::CrossCursor);
}

TEST(ColorRefTest, RedIsTheLowByte) {
  EXPECT_EQ(forms::RgbFromColorRef(0x0000FF), qRgb(255, 0, 0));
  EXPECT_EQ(forms::RgbFromColorRef(0xFF0000), qRgb(0, 0, 255));
  EXPECT_EQ(forms::ColorRefFromRgb(qRgb(0x12, 0x34, 0x56)), 0x563412u);
}

}  // namespace
