// The view arithmetic without widgets: the width and height tables behind
// the check marks, the presets, zoom limits, scroll bar positions, grid
// lines with their labels and the pieces of a trace.

#include "view/ViewModel.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace specterm {
namespace {

constexpr ViewRect kFitView = {550, -125, 300, 250};

TEST(ViewModelTest, DbPresetsGiveTheirHeightsAndTheHeightTableChecksTheirRows) {
  const std::array<float, 10> heights = {0.125f, 0.25f, 0.625f, 1.25f, 2.5f, 6.25f, 12.5f, 25, 62.5f, 125};
  // 0.02, 0.25, 2.50 and 10.00 dB per division keep their own item; the
  // others check the next row of the table.
  const std::array<int, 10> checks = {1, 1, 3, 4, 4, 6, 7, 7, 9, 9};
  for (int i = 0; i < 10; ++i) {
    const float height = DbPresetHeight(i);
    EXPECT_FLOAT_EQ(height, heights[static_cast<std::size_t>(i)]) << i;
    EXPECT_EQ(HeightRowFor(height).DbCheck, checks[static_cast<std::size_t>(i)]) << i;
  }
  // Out of range acts as index 9.
  EXPECT_FLOAT_EQ(DbPresetHeight(10), 125);
  EXPECT_FLOAT_EQ(DbPresetHeight(-1), 125);
  // The 0.01 dB preset: the grid and pan step follow item 1.
  const DerivedParameters d = DeriveParameters(300, DbPresetHeight(0));
  EXPECT_EQ(d.Height.Ky, 2);
  EXPECT_STREQ(d.Height.AmpFormat, "####.000000");
  EXPECT_EQ(d.Height.TraceWidth, 7);
  EXPECT_FLOAT_EQ(d.PanStepY, 0.002f);
}

TEST(ViewModelTest, SpanPresetsLandOnTheirOwnRow) {
  for (int i = 0; i < 10; ++i) EXPECT_EQ(WidthRowFor(SpanPresetWidth(i)).SpanCheck, i) << i;
  EXPECT_FLOAT_EQ(SpanPresetWidth(0), 0.25f);
  EXPECT_FLOAT_EQ(SpanPresetWidth(9), 250);
  EXPECT_FLOAT_EQ(SpanPresetWidth(12), 250);
}

TEST(ViewModelTest, TablesTakeTheFirstRowPassedWithEqualityAsStated) {
  // Widths pass at equality, heights only above.
  EXPECT_EQ(WidthRowFor(250).Kx, 2500);
  EXPECT_EQ(WidthRowFor(249.99f).Kx, 1000);
  EXPECT_EQ(WidthRowFor(0.4f).Kx, 2);
  EXPECT_EQ(HeightRowFor(50).Ky, 500);
  EXPECT_EQ(HeightRowFor(50.01f).Ky, 1000);
  EXPECT_EQ(HeightRowFor(0.1f).Ky, 1);
  const DerivedParameters fit = DeriveParameters(300, 250);
  EXPECT_FLOAT_EQ(fit.PanStepX, 2.5f);
  EXPECT_FLOAT_EQ(fit.PanStepY, 1.0f);
  EXPECT_EQ(fit.Width.SpanCheck, 9);
  EXPECT_EQ(fit.Height.DbCheck, 9);
}

TEST(ViewModelTest, ZoomOutStopsWhereTheHeightPassesFourRanges) {
  const auto first = ZoomedOut(kFitView, 700, 0, 250);
  ASSERT_TRUE(first);
  EXPECT_FLOAT_EQ(first->Height, 437.5f);
  EXPECT_FLOAT_EQ(first->Width, 525);
  EXPECT_FLOAT_EQ(first->Left, 700 - 262.5f);
  EXPECT_FLOAT_EQ(first->Top, -218.75f);
  const auto second = ZoomedOut(*first, 700, 0, 250);
  ASSERT_TRUE(second);
  EXPECT_FLOAT_EQ(second->Height, 765.625f);
  EXPECT_FALSE(ZoomedOut(*second, 700, 0, 250));
  // A larger range allows more.
  EXPECT_TRUE(ZoomedOut(*second, 700, 0, 400));
}

TEST(ViewModelTest, ZoomInStopsBeforeTheMinimumWidth) {
  ViewRect view = kFitView;
  int steps = 0;
  while (const auto next = ZoomedIn(view, 700, -20, 0.025)) {
    view = *next;
    ++steps;
    ASSERT_LT(steps, 100);
  }
  EXPECT_GT(view.Width, 0.025f);
  EXPECT_LE(view.Width * 0.6667, 0.025);
  EXPECT_EQ(steps, 23);
  // Each step keeps the view centred on the location.
  EXPECT_NEAR(view.Left + view.Width / 2, 700, 1e-3);
  EXPECT_NEAR(view.Top + view.Height / 2, -20, 1e-3);
}

TEST(ViewModelTest, PanMovesTenStepsAndFitShowsTheWholeBand) {
  EXPECT_FLOAT_EQ(Panned(kFitView, kPanLeft, 2.5f, 1).Left, 525);
  EXPECT_FLOAT_EQ(Panned(kFitView, kPanRight, 2.5f, 1).Left, 575);
  EXPECT_FLOAT_EQ(Panned(kFitView, kPanUp, 2.5f, 1).Top, -135);
  EXPECT_FLOAT_EQ(Panned(kFitView, kPanDown, 2.5f, 1).Top, -115);
  EXPECT_FLOAT_EQ(Panned(kFitView, 13, 2.5f, 1).Left, 550);
  const ViewRect fit = FittedView(637.5f, 762.5f, 110, 130);
  EXPECT_FLOAT_EQ(fit.Left, 637.5f);
  EXPECT_FLOAT_EQ(fit.Top, -110);
  EXPECT_FLOAT_EQ(fit.Width, 125);
  EXPECT_FLOAT_EQ(fit.Height, 130);
  EXPECT_TRUE(Contains(kFitView, 850, 125));
  EXPECT_FALSE(Contains(kFitView, 850.1f, 0));
}

TEST(ViewModelTest, ScrollPositionsFollowTheViewCentre) {
  // The whole band just fitted: the middle.
  EXPECT_EQ(HScrollValueFor(kFitView, 550, 850, 100, 0, 100), 50);
  // The whole band, width unchanged: from the centre.
  EXPECT_EQ(HScrollValueFor({640, -125, 300, 250}, 550, 850, 300, 0, 100), 80);
  // Centre at 73 % of the band; halves round to even.
  EXPECT_EQ(HScrollValueFor({754, 0, 30, 10}, 550, 850, 30, 0, 100), 73);
  EXPECT_EQ(HScrollValueFor({550, 0, 7.5f, 10}, 550, 850, 0, 0, 100), 1);  // 1.25
  EXPECT_EQ(HScrollValueFor({550, 0, 15, 10}, 550, 850, 0, 0, 100), 2);    // 2.5
  EXPECT_EQ(HScrollValueFor({550, 0, 21, 10}, 550, 850, 0, 0, 100), 4);    // 3.5
  // Beyond the band: the bar keeps its value.
  EXPECT_FALSE(HScrollValueFor({900, 0, 30, 10}, 550, 850, 30, 0, 100));
  EXPECT_EQ(VScrollValueFor({0, -125, 1, 250}, -125, 125), 0);
  EXPECT_EQ(VScrollValueFor({0, -80, 1, 20}, -125, 125), -70);
  EXPECT_EQ(VScrollValueFor({0, -300, 1, 20}, -125, 125), -125);
  EXPECT_EQ(VScrollValueFor({0, 300, 1, 20}, -125, 125), 125);
  EXPECT_EQ(ArrowsAt(100, 0, 100), ScrollArrows::LeftUp);
  EXPECT_EQ(ArrowsAt(0, 0, 100), ScrollArrows::RightDown);
  EXPECT_EQ(ArrowsAt(40, 0, 100), ScrollArrows::Both);
}

TEST(ViewModelTest, AmplitudeGridOfTheFitViewRunsInTenDbStepsWithinPlusMinus120) {
  std::vector<std::int32_t> expected;
  for (int i = -12000; i <= 12000; i += 1000) expected.push_back(i);
  EXPECT_EQ(AmplitudeGridLines(-125, 250, 1000), expected);
  // Lines start at the multiple at or below the top (towards zero).
  std::vector<std::int32_t> zoomed;
  for (int i = -3500; i <= -1500; i += 250) zoomed.push_back(i);
  EXPECT_EQ(AmplitudeGridLines(-37.3f, 20, 250), zoomed);
  // A view below -120 dB shows no lines at all.
  EXPECT_TRUE(AmplitudeGridLines(130, 50, 1000).empty());
  // The line at the limit may lie just above a view below it.
  EXPECT_EQ(AmplitudeGridLines(125, 50, 1000), std::vector<std::int32_t>{12000});
  EXPECT_TRUE(AmplitudeGridLines(-400, 100, 1000).empty());
}

TEST(ViewModelTest, AmplitudeLabelsArePaddedToNineCharacters) {
  EXPECT_EQ(AmplitudeLabel(0), "   0.00dB");
  EXPECT_EQ(AmplitudeLabel(-500), "   5.00dB");
  EXPECT_EQ(AmplitudeLabel(-5000), "  50.00dB");
  EXPECT_EQ(AmplitudeLabel(-10000), " 100.00dB");
  EXPECT_EQ(AmplitudeLabel(-12000), " 120.00dB");
  EXPECT_EQ(AmplitudeLabel(500), "  -5.00dB");
  EXPECT_EQ(AmplitudeLabel(9000), " -90.00dB");
  EXPECT_EQ(AmplitudeLabel(12500), "-125.00dB");
  EXPECT_EQ(AmplitudeLabel(-1), "   0.01dB");
  EXPECT_EQ(AmplitudeLabel(3), "  -0.03dB");
}

TEST(ViewModelTest, FrequencyGridStartsInsideABandEdgeWithinTheView) {
  // Fit view: multiples of 25 from the first right of the label column; the
  // last multiple at the right edge is left out.
  EXPECT_EQ(FrequencyGridLines(577.3, 850, 550, 850, 2500),
            (std::vector<double>{600, 625, 650, 675, 700, 725, 750, 775, 800, 825}));
  // Zoomed out: one step inside each band edge.
  EXPECT_EQ(FrequencyGridLines(485.4, 962.5, 550, 850, 2500),
            (std::vector<double>{575, 600, 625, 650, 675, 700, 725, 750, 775, 800, 825}));
  // The band wholly right of the view: no line.
  EXPECT_TRUE(FrequencyGridLines(300, 500, 550, 850, 2500).empty());
  // Wholly left of it.
  EXPECT_TRUE(FrequencyGridLines(1000, 1300, 550, 850, 2500).empty());
  // Small steps: lines on the multiples, whatever fraction the edges have.
  const std::vector<double> fine = FrequencyGridLines(700.0137, 700.1, 550, 850, 2);
  ASSERT_EQ(fine.size(), 4u);
  for (std::size_t i = 0; i < fine.size(); ++i) EXPECT_DOUBLE_EQ(fine[i], 700.02 + 0.02 * static_cast<double>(i));
}

TEST(ViewModelTest, ATraceBreaksWhereItsFrequencyFalls) {
  const std::vector<float> x = {1, 2, 3, 0.5f, 1.5f, 2.5f, 0.2f, 5};
  using Pieces = std::vector<std::pair<std::size_t, std::size_t>>;
  EXPECT_EQ(TracePieces(x.data(), 0, x.size()), (Pieces{{0, 3}, {3, 6}, {6, 8}}));
  // The first segment of a half is drawn whatever its direction.
  const std::vector<float> y = {5, 1, 2, 3};
  EXPECT_EQ(TracePieces(y.data(), 0, y.size()), (Pieces{{0, 4}}));
  // A lone point between two falls draws nothing.
  const std::vector<float> z = {1, 2, 1, 0, 1};
  EXPECT_EQ(TracePieces(z.data(), 0, z.size()), (Pieces{{0, 2}, {3, 5}}));
  EXPECT_TRUE(TracePieces(z.data(), 2, 3).empty());
}

}  // namespace
}  // namespace specterm
