// The plot: pixel mapping, title texts and the drawing itself.

#include "FileFtpServer.h"
#include "MonitorTestSupport.h"
#include "monitor/ConstellationMonitor.h"
#include "monitor/ConstellationPlot.h"

#include <QFontMetrics>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using namespace orbscope;
using orbscope::test::AttachWithoutModem;
using orbscope::test::ConstellationReply;

TEST(MapToPixelTest, TruncatesTowardZero) {
  EXPECT_EQ(MapToPixel(0, 0, 255, 0, 300), 0);
  EXPECT_EQ(MapToPixel(255, 0, 255, 0, 300), 300);
  EXPECT_EQ(MapToPixel(42.5, 0, 255, 0, 300), 50);
  EXPECT_EQ(MapToPixel(100, 0, 255, 0, 300), 117) << "117.6 truncated";
  // Upwards: from the bottom (240) to the top of the frame (16).
  EXPECT_EQ(MapToPixel(0, 0, 255, 240, 16), 240);
  EXPECT_EQ(MapToPixel(100, 0, 255, 240, 16), 152) << "152.2 truncated";
  EXPECT_EQ(MapToPixel(255, 0, 255, 240, 16), 16);
  EXPECT_EQ(MapToPixel(-0.5, 0, 255, 0, 255), 0) << "-0.5 truncates toward zero, not down";
}

TEST(TitleTest, Formats) {
  EXPECT_EQ(FormatTitle(2 * 256 + 6, 21.04, false, 0, 0, 0), "Torvik (8QAM EVM= 21.0 dB)");
  EXPECT_EQ(FormatTitle(1 * 256 + 5, 18.25, true, 17.96, 19.04, 18.5),
            "Halden (16QAM EVM= 18.2 dB  [ 18.0, 19.0, 18.5 ])")
      << "minimum, maximum, average, one decimal each";
  EXPECT_EQ(FormatTitle(2 * 256 + 0, 5, true, 1, 2, 3), "Torvik (NONE)");
  EXPECT_EQ(FormatDb(-0.04), "-0.0");
  EXPECT_EQ(FormatDb(std::numeric_limits<double>::quiet_NaN()), "NaN");
  EXPECT_EQ(FormatDb(-std::numeric_limits<double>::infinity()), "-Inf");
}

TEST(TitleTest, AnEvmOfNegativeZeroPrintsAsZero) {
  // Samples whose mean error power equals the reference power: -10 log10(1)
  // is a negative zero.
  CConstellationMonitor monitor(CTextBuf("127.0.1.1"));
  AttachWithoutModem(monitor);
  ASSERT_TRUE(monitor.ApplyConstellation(ConstellationReply(192, 192, 0, 1)));
  ASSERT_EQ(monitor.Evm(), 0.0);
  ASSERT_TRUE(std::signbit(monitor.Evm()));
  EXPECT_EQ(monitor.TitleText(), "Melgar (BPSK EVM= 0.0 dB)");
  EXPECT_EQ(FormatDb(-0.0), "0.0");
  EXPECT_EQ(FormatTitle(2 * 256 + 2, 1.0, true, -0.0, 2.0, -0.0), "Torvik (QPSK EVM= 1.0 dB  [ 0.0, 2.0, 0.0 ])");
}

class DrawTest : public ::testing::Test {
 protected:
  static constexpr int kWidth = 300;
  static constexpr int kHeight = 240;
  const QFont font = PlotFont();
  const QFontMetrics metrics{font};
  const int band = metrics.height();

  static bool IsWhite(QRgb c) { return c == qRgb(255, 255, 255); }
  static bool IsBlack(QRgb c) { return c == qRgb(0, 0, 0); }
  static bool IsGrey(QRgb c) { return c == qRgb(160, 160, 160); }

  void Draw(CConstellationMonitor& monitor, int i, int q) {
    monitor.SetClientSize(kWidth, kHeight);
    AttachWithoutModem(monitor);
    ASSERT_TRUE(monitor.ApplyConstellation(ConstellationReply(i, q, 1, 2)));
    monitor.Draw(font);
    ASSERT_EQ(monitor.Picture().size(), QSize(kWidth, kHeight));
  }
};

TEST_F(DrawTest, TheFontGivesVisibleMarkers) {
  EXPECT_GE(metrics.horizontalAdvance(QStringLiteral("x")) / 4, 2);
  EXPECT_GE(metrics.height() / 8, 2);
}

TEST_F(DrawTest, BandFrameGridAndSamples) {
  CConstellationMonitor monitor{CTextBuf("127.0.1.1")};
  Draw(monitor, 100, 100);
  const QImage& image = monitor.Picture();
  EXPECT_TRUE(IsGrey(image.pixel(1, band / 2))) << "title band";
  EXPECT_TRUE(IsGrey(image.pixel(1, band - 1)));
  EXPECT_TRUE(IsWhite(image.pixel(3, band))) << "frame top edge at the band's lower edge";
  EXPECT_TRUE(IsWhite(image.pixel(0, kHeight / 2))) << "frame left edge";

  // Six grid lines each way at 0, 42.5, ... 212.5 of 0..255.
  for (int l = 1; l <= 5; ++l) {
    const double v = l * 255.0 / 6;
    const int y = MapToPixel(v, 0, 255, kHeight, band);
    const int x = MapToPixel(v, 0, 255, 0, kWidth);
    EXPECT_TRUE(IsWhite(image.pixel(3, y))) << "horizontal line " << l << " at " << y;
    EXPECT_TRUE(IsWhite(image.pixel(x, band + 3))) << "vertical line " << l << " at " << x;
    EXPECT_TRUE(IsBlack(image.pixel(x + 3, y + 3)));
  }
  EXPECT_TRUE(IsBlack(image.pixel(kWidth - 1, kHeight - 1)));

  // Every sample is one white square around its mapped point.
  const int x = MapToPixel(100, 0, 255, 0, kWidth);
  const int y = MapToPixel(100, 0, 255, kHeight, band);
  const int w = metrics.horizontalAdvance(QStringLiteral("x")) / 4;
  const int h = metrics.height() / 8;
  EXPECT_TRUE(IsWhite(image.pixel(x - w / 2, y - h / 2)));
  EXPECT_TRUE(IsWhite(image.pixel(x + w / 2 - 1, y + h / 2 - 1)));
  EXPECT_TRUE(IsBlack(image.pixel(x + w / 2 + 1, y)));
  EXPECT_TRUE(IsBlack(image.pixel(x, y + h / 2 + 1)));
}

TEST_F(DrawTest, TitleIsCentredBlackOnGreyAndHiddenWithoutAddress) {
  const auto darkInBand = [&](const QImage& image, int from, int to) {
    int dark = 0;
    for (int x = from; x < to; ++x)
      for (int y = 0; y < band; ++y) dark += IsBlack(image.pixel(x, y)) ? 1 : 0;
    return dark;
  };
  CConstellationMonitor withAddress{CTextBuf("127.0.1.1")};
  Draw(withAddress, 192, 192);
  const int textWidth = metrics.horizontalAdvance(QString::fromLatin1(withAddress.TitleText().c_str()));
  const int left = kWidth / 2 - textWidth / 2;
  EXPECT_GT(darkInBand(withAddress.Picture(), left, left + textWidth), 20);
  EXPECT_EQ(darkInBand(withAddress.Picture(), 0, left - 1), 0) << "centred: nothing left of the text";

  CConstellationMonitor withoutAddress{CTextBuf("")};
  Draw(withoutAddress, 192, 192);
  EXPECT_EQ(darkInBand(withoutAddress.Picture(), 0, kWidth), 0);
  EXPECT_TRUE(IsGrey(withoutAddress.Picture().pixel(kWidth / 2, band / 2))) << "the band is still drawn";
}

TEST_F(DrawTest, NothingIsDrawnWithoutSamples) {
  CConstellationMonitor monitor{CTextBuf("127.0.1.1")};
  Draw(monitor, 100, 100);
  const QImage before = monitor.Picture();
  AttachWithoutModem(monitor);
  EXPECT_FALSE(monitor.ApplyConstellation(std::nullopt));
  monitor.Draw(font);
  EXPECT_EQ(monitor.Picture(), before);
  monitor.ClearPicture();
  EXPECT_TRUE(IsBlack(monitor.Picture().pixel(1, band / 2)));
}

}  // namespace
