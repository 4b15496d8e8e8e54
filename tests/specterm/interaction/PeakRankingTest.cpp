// The ranking behind the peak moves: scan orders, tie rules, the threshold,
// and the fallbacks at the ends.

#include "interaction/PeakRanking.h"

#include <gtest/gtest.h>

#include <vector>

namespace specterm {
namespace {

struct RankCase {
  const char* name;
  std::vector<float> amplitudes;
  int start;
  int nextHighest;      // GetNextHighest(start): the highest strictly below
  int previousHighest;  // GetPreviousHighest(start): the lowest strictly above
};

TEST(PeakRankingTest, ScanOrderAndTies) {
  const std::vector<float> dips = {-10, -20, -20, -5};
  const RankCase cases[] = {
      // Without a start: the highest, the first of equal maxima.
      {"no start", dips, 0, 4, 4},
      {"equal maxima keep the first", {3, 7, 7, 1}, 0, 2, 2},
      // From the top: the next lower is -10 at 1; nothing above stays on top.
      {"from the top", dips, 4, 1, 4},
      // From -10: the first of the equal pair below; above it only -5.
      {"from -10", dips, 1, 2, 4},
      // From -20 at 2: the equal one at 3 is skipped and nothing lies below;
      // the lowest above is -10.
      {"from -20", dips, 2, 2, 1},
      // From 3 the scan runs 3, 4, 1, 2: above -20 lie -5 and -10.
      {"scan wraps", dips, 3, 3, 1},
      // Equal lower neighbours of the lowest point: the last in scan order
      // (2, 3, 1) wins going up.
      {"last of equals going up", {-10, -30, -10}, 2, 2, 1},
      {"single point", {42}, 1, 1, 1},
  };
  for (const RankCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(GetNextHighest(c.amplitudes, c.start), c.nextHighest);
    EXPECT_EQ(GetPreviousHighest(c.amplitudes, c.start), c.previousHighest);
  }
}

TEST(PeakRankingTest, LowestHonoursTheThreshold) {
  const std::vector<float> a = {30, 12, 55, 12, 40, 8};
  EXPECT_EQ(GetLowest(a, 0), 6);
  // Ties keep the lowest index.
  EXPECT_EQ(GetLowest(a, 10), 2);
  EXPECT_EQ(GetLowest(a, 12.5f), 1);
  // A threshold above every amplitude gives the highest point.
  EXPECT_EQ(GetLowest(a, 60), 3);
}

TEST(PeakRankingTest, AFullTraceStepsThroughEveryPointInAmplitudeOrder) {
  // 2048 points, each amplitude once: stepping up from the lowest visits
  // all of them and ends on the highest, and down again the same way.
  std::vector<float> a(2048);
  for (std::size_t i = 0; i < a.size(); ++i) a[i] = static_cast<float>((i * 797) % 2048);
  int point = GetLowest(a, -1);
  EXPECT_EQ(a[static_cast<std::size_t>(point - 1)], 0.0f);
  for (int step = 1; step < 2048; ++step) {
    const int next = GetPreviousHighest(a, point);
    ASSERT_EQ(a[static_cast<std::size_t>(next - 1)], static_cast<float>(step));
    point = next;
  }
  EXPECT_EQ(point, GetNextHighest(a));
  EXPECT_EQ(GetPreviousHighest(a, point), point);
  for (int step = 2046; step >= 0; --step) {
    point = GetNextHighest(a, point);
    ASSERT_EQ(a[static_cast<std::size_t>(point - 1)], static_cast<float>(step));
  }
}

}  // namespace
}  // namespace specterm
