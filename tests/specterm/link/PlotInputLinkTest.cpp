// The capture cycle while the user works on the plot: a press released
// outside the plot, keyboard moves between data sets, and a data set that
// arrives while a button is held.

#include "CaptureTestSupport.h"
#include "forms/PictureBox.h"

#include <QTest>

namespace specterm {
namespace {

using testsupport::WaitUntil;
using namespace std::chrono_literals;

class PlotInputLinkTest : public testing::CaptureFixture {
 protected:
  frmMain& Running() {
    frmMain& f = OpenOnSim(/*stopUpdates=*/false);
    EXPECT_TRUE(WaitUntil([&] { return f.Cycle().DataSets() >= 2; }));
    return f;
  }
  // Waits for n more data sets after the present one.
  bool MoreDataSets(frmMain& f, int n) {
    const int target = f.Cycle().DataSets() + n;
    return WaitUntil([&] { return f.Cycle().DataSets() >= target; }, 20s);
  }
};

TEST_F(PlotInputLinkTest, APressReleasedOutsideThePlotDoesNotStopTheUpdates) {
  StartSim();
  frmMain& f = Running();
  const QPoint inside = f.picSpectrum->rect().center();
  QTest::mousePress(f.picSpectrum, Qt::LeftButton, Qt::NoModifier, inside);
  EXPECT_EQ(f.Modes().Mouse().ClickButton, 1);
  QTest::mouseRelease(f.picSpectrum, Qt::LeftButton, Qt::NoModifier, QPoint(-20, -20));
  EXPECT_EQ(f.Modes().Mouse().ClickButton, 0);
  EXPECT_TRUE(MoreDataSets(f, 2));
}

TEST_F(PlotInputLinkTest, KeyboardMovesLeaveTheCycleRunning) {
  StartSim();
  frmMain& f = Running();
  // Next, previous, next, previous: each move is followed by a data set.
  for (int i = 0; i < 4; ++i) {
    f.Form_KeyUp(i % 2 == 0 ? 'N' : 'P', 0);
    ASSERT_NE(f.Navigator().Selection().SelectedPoint, 0) << i;
    ASSERT_TRUE(MoreDataSets(f, 1)) << "after move " << i;
  }
}

TEST_F(PlotInputLinkTest, ADataSetArrivingWhileAButtonIsHeldIsShownAfterTheClick) {
  StartSim();
  frmMain& f = Running();
  // Slow replies leave time to press while a read is on the wire.
  ASSERT_TRUE(testing::SendControl(*sim, "fault slow=400\n"));
  const int reads = testing::CountText(testing::ReadLog(*sim), "> RETR spectrum:");
  ASSERT_TRUE(WaitUntil([&] { return testing::CountText(testing::ReadLog(*sim), "> RETR spectrum:") > reads; }, 20s));
  const int shown = f.Cycle().DataSets();
  const QPoint inside = f.picSpectrum->rect().center();
  QTest::mousePress(f.picSpectrum, Qt::MiddleButton, Qt::NoModifier, inside);
  // The read ends and its session with it: the cycle goes on, the picture
  // does not change under the held button.
  const int readSession = testing::SessionsWith(testing::ReadLog(*sim), "> RETR spectrum:").back();
  ASSERT_TRUE(WaitUntil(
      [&] {
        for (const auto& e : testing::ReadLog(*sim))
          if (e.session == readSession && e.text.rfind("close", 0) == 0) return true;
        return false;
      },
      20s));
  ASSERT_TRUE(testing::SendControl(*sim, "fault clear\n"));
  ASSERT_TRUE(WaitLinkIdle(20s));
  EXPECT_EQ(f.Cycle().DataSets(), shown);
  QTest::mouseRelease(f.picSpectrum, Qt::MiddleButton, Qt::NoModifier, inside);
  EXPECT_TRUE(WaitUntil([&] { return f.Cycle().DataSets() == shown + 1; }, 5s));
  EXPECT_TRUE(MoreDataSets(f, 1));
}

}  // namespace
}  // namespace specterm
