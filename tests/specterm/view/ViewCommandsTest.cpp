// The view commands on the main window: presets and their check marks,
// zoom limits with their notices, previous view, the scroll bars, the
// toolbar's preset buttons and a full redraw with the traces switched off.

#include "FormFixture.h"
#include "forms/KeyedStatusBar.h"
#include "forms/KeyedToolBar.h"
#include "forms/PictureBox.h"
#include "view/ScrollBars.h"
#include "view/ViewModel.h"

#include <QAction>
#include <QCursor>
#include <QScrollBar>
#include <QTimer>

#include <cmath>

namespace specterm {
namespace {

class ViewCommandsTest : public testing::FormTest {
 protected:
  frmMain& OpenFitted() {
    frmMain& f = Open();
    f.tbMain_ButtonClick("ZoomFitView");
    return f;
  }
  static ViewRect ViewOf(const frmMain& f) {
    return {f.picSpectrum->ScaleLeft(), f.picSpectrum->ScaleTop(), f.picSpectrum->ScaleWidth(),
            f.picSpectrum->ScaleHeight()};
  }
  static int CheckedItem(const std::array<QAction*, 10>& items) {
    int checked = -1;
    for (std::size_t i = 0; i < items.size(); ++i)
      if (items[i]->isChecked()) {
        if (checked >= 0) return -2;  // more than one
        checked = static_cast<int>(i);
      }
    return checked;
  }
  static QString Status(const frmMain& f) { return f.sbStatus->PanelText("Status"); }
};

void ExpectView(const ViewRect& actual, const ViewRect& expected) {
  EXPECT_FLOAT_EQ(actual.Left, expected.Left);
  EXPECT_FLOAT_EQ(actual.Top, expected.Top);
  EXPECT_FLOAT_EQ(actual.Width, expected.Width);
  EXPECT_FLOAT_EQ(actual.Height, expected.Height);
}

TEST_F(ViewCommandsTest, DbPresetsSetTheHeightAboutTheLocationAndTheTableSetsTheCheck) {
  frmMain& f = OpenFitted();
  const std::array<float, 10> heights = {0.125f, 0.25f, 0.625f, 1.25f, 2.5f, 6.25f, 12.5f, 25, 62.5f, 125};
  const std::array<int, 10> checks = {1, 1, 3, 4, 4, 6, 7, 7, 9, 9};
  for (int i = 0; i < 10; ++i) {
    f.picSpectrum_MouseDown(1, 0, 700, -20);
    f.picSpectrum_MouseMove(0, 0, 700, -20);
    ASSERT_EQ(f.Modes().Mouse().ClickButton, 1);
    f.mnuViewDBB[static_cast<std::size_t>(i)]->trigger();
    const ViewRect v = ViewOf(f);
    EXPECT_FLOAT_EQ(v.Height, heights[static_cast<std::size_t>(i)]) << i;
    EXPECT_FLOAT_EQ(v.Top, -20 - heights[static_cast<std::size_t>(i)] / 2) << i;
    EXPECT_FLOAT_EQ(v.Width, 300) << i;
    EXPECT_EQ(f.View().DBDivIndex(), i);
    EXPECT_EQ(CheckedItem(f.mnuViewDBB), checks[static_cast<std::size_t>(i)]) << i;
    EXPECT_EQ(f.Modes().Mouse().ClickButton, 0);
  }
  f.mnuViewDBB[0]->trigger();
  EXPECT_FLOAT_EQ(f.View().PanStepY(), 0.002f);
  EXPECT_EQ(f.View().AmpFormat(), "####.000000");
  EXPECT_EQ(f.View().TraceWidth(), 7);
}

TEST_F(ViewCommandsTest, SpanPresetsSetTheWidthAboutTheLocationAndCheckTheirOwnItem) {
  frmMain& f = OpenFitted();
  const std::array<float, 10> widths = {0.25f, 0.5f, 1, 2.5f, 5, 10, 25, 50, 100, 250};
  for (int i = 0; i < 10; ++i) {
    f.picSpectrum_MouseMove(0, 0, 712.5f, -20);
    f.mnuViewFB[static_cast<std::size_t>(i)]->trigger();
    const ViewRect v = ViewOf(f);
    EXPECT_FLOAT_EQ(v.Width, widths[static_cast<std::size_t>(i)]) << i;
    EXPECT_FLOAT_EQ(v.Left, 712.5f - widths[static_cast<std::size_t>(i)] / 2) << i;
    EXPECT_FLOAT_EQ(v.Height, 250) << i;
    EXPECT_EQ(f.View().SpanIndex(), i);
    EXPECT_EQ(CheckedItem(f.mnuViewFB), i);
  }
}

TEST_F(ViewCommandsTest, PresetsGiveWhatTheirCaptionsSayWhateverScaleAndFittedRange) {
  frmMain& f = OpenFitted();
  // A narrow capture (one x unit is 0.001 MHz), the amplitude range fitted
  // to its data.
  ShowBlock(f, blocks::CarrierBlock({{600, 100}}, 0, 1, 700000, 5));
  ASSERT_EQ(f.Spectrum().Block().SpanScale, 100);
  ASSERT_NE(f.Spectrum().Amplitude().AmpRange, kInitialAmpRange);
  f.mnuViewFB[9]->trigger();  // "0.2500MHz Span"
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleWidth(), 250);
  EXPECT_EQ(CheckedItem(f.mnuViewFB), 9);
  f.mnuViewDBB[9]->trigger();  // "&10.00dB per Division"
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleHeight(), 125);
}

TEST_F(ViewCommandsTest, ZoomOutIsRefusedOnTheThirdStepWithANoticeAndABeep) {
  frmMain& f = OpenFitted();
  f.View().ZoomOutView(700, 0);
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleHeight(), 437.5f);
  EXPECT_FLOAT_EQ(f.View().ZoomFactor(), 1.75f);
  f.View().ZoomOutView(700, 0);
  const ViewRect second = ViewOf(f);
  EXPECT_FLOAT_EQ(second.Height, 765.625f);
  const int beeps = forms::DialogSeam::BeepCount();
  f.View().ZoomOutView(700, 0);
  ExpectView(ViewOf(f), second);
  EXPECT_EQ(Status(f), "Cannot zoom out farther...you have reached the zoom out limit!");
  EXPECT_TRUE(f.timerStatus->isActive());
  EXPECT_EQ(forms::DialogSeam::BeepCount(), beeps + 1);
  // The refused step saved the unchanged view: Previous shows the same.
  f.tbMain_ButtonClick("Previous");
  ExpectView(ViewOf(f), second);
  // Any redraw clears the notice.
  EXPECT_EQ(Status(f), "");
}

TEST_F(ViewCommandsTest, ZoomInStopsBeforeTheMinimumWidthWithItsNotice) {
  frmMain& f = OpenFitted();
  const int beeps = forms::DialogSeam::BeepCount();
  int steps = 0;
  while (Status(f).isEmpty() && steps < 100) {
    f.View().ZoomInView(700, -30);
    ++steps;
  }
  EXPECT_EQ(steps, 24);
  EXPECT_EQ(Status(f), "You have reached the zoom in limit!");
  EXPECT_EQ(forms::DialogSeam::BeepCount(), beeps + 1);
  EXPECT_GT(f.picSpectrum->ScaleWidth(), 0.025f);
  EXPECT_LE(f.picSpectrum->ScaleWidth() * 0.6667, 0.025);
  EXPECT_FLOAT_EQ(f.View().ZoomFactor(), 0.667f);
  EXPECT_NEAR(f.picSpectrum->ScaleLeft() + f.picSpectrum->ScaleWidth() / 2, 700, 1e-3);
}

TEST_F(ViewCommandsTest, PreviousViewTwiceReturnsToTheViewItStartedFrom) {
  frmMain& f = OpenFitted();
  const ViewRect fit = ViewOf(f);
  f.picSpectrum_MouseMove(0, 0, 640, -60);
  f.mnuViewDBB[3]->trigger();
  const ViewRect preset = ViewOf(f);
  f.tbMain->ClickButton("Previous");
  ExpectView(ViewOf(f), fit);
  f.mnuViewPrevious->trigger();
  ExpectView(ViewOf(f), preset);
}

TEST_F(ViewCommandsTest, DraggingAScrollBoxMovesByTheDraggedShareOfTheViewNotTheBand) {
  frmMain& f = OpenFitted();
  auto drag = [](QScrollBar* bar, int to) {
    bar->setSliderDown(true);
    bar->setSliderPosition(to);
    bar->setSliderDown(false);
  };
  ASSERT_EQ(f.hScroll->value(), 50);
  drag(f.hScroll, 60);
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleLeft(), 580);
  EXPECT_FALSE(f.View().ScrollDragging());
  // The redraw puts the box where the view now is.
  EXPECT_EQ(f.hScroll->value(), 60);

  f.picSpectrum_MouseMove(0, 0, 700, f.Navigator().Selection().SelectedY);
  f.mnuViewFB[7]->trigger();  // 50 units wide
  const float left = f.picSpectrum->ScaleLeft();
  drag(f.hScroll, f.hScroll->value() + 10);
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleLeft(), left + 5);

  // The vertical bar drags by dB.
  const float top = f.picSpectrum->ScaleTop();
  drag(f.vScroll, f.vScroll->value() - 10);
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleTop(), top - 10);

  // A drag let go where it began changes nothing and ends there, so the
  // next arrow click is an arrow click again.
  const int at = f.hScroll->value();
  const float before = f.picSpectrum->ScaleLeft();
  f.hScroll->setSliderDown(true);
  f.hScroll->setSliderPosition(at + 5);
  ASSERT_TRUE(f.View().ScrollDragging());
  f.hScroll->setSliderPosition(at);
  f.hScroll->setSliderDown(false);
  EXPECT_FALSE(f.View().ScrollDragging());
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleLeft(), before);
}

TEST_F(ViewCommandsTest, ArrowAtTheEndOfABarHidesThatArrowAndLeavesTheView) {
  frmMain& f = OpenFitted();
  const ViewRect start = ViewOf(f);
  // The bars are put near their ends as an amplitude re-fit writes them:
  // without moving the view.
  ScrollSettings near{0, 100, 99, f.vScroll->minimum(), f.vScroll->maximum(), f.vScroll->value()};
  f.View().ApplyScrollSettings(near);
  f.hScroll->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(f.hScroll->value(), 100);
  ExpectView(ViewOf(f), start);
  EXPECT_EQ(f.View().ArrowsH(), ScrollArrows::LeftUp);
  EXPECT_EQ(ShownScrollArrows(f.hScroll), ScrollArrows::LeftUp);

  near.VScrollValue = f.vScroll->minimum() + 1;
  f.View().ApplyScrollSettings(near);
  f.vScroll->triggerAction(QAbstractSlider::SliderSingleStepSub);
  EXPECT_EQ(f.View().ArrowsV(), ScrollArrows::RightDown);
  ExpectView(ViewOf(f), start);
}

TEST_F(ViewCommandsTest, ArrowsAwayFromTheEndsPanTowardsTheChange) {
  frmMain& f = OpenFitted();
  ASSERT_EQ(f.View().LastScrollValueH(), f.hScroll->value());
  f.hScroll->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleLeft(), 575);
  EXPECT_EQ(f.View().ArrowsH(), ScrollArrows::Both);
  // The box follows the view, and the next change compares with it.
  EXPECT_EQ(f.hScroll->value(), 58);
  EXPECT_EQ(f.View().LastScrollValueH(), 58);
  f.hScroll->triggerAction(QAbstractSlider::SliderSingleStepSub);
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleLeft(), 550);

  ASSERT_EQ(f.View().LastScrollValueV(), f.vScroll->value());
  f.vScroll->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleTop(), -115);  // down by ten steps of 1 dB
}

TEST_F(ViewCommandsTest, AnArrowAfterARefitPansTowardsItsOwnChange) {
  frmMain& f = OpenFitted();
  f.View().ApplyScrollSettings({0, 100, 50, -90, 10, -40});  // a re-fit moves the bar far from 0
  const float top = f.picSpectrum->ScaleTop();
  f.vScroll->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleTop(), top + 10 * f.View().PanStepY());  // down, as the arrow says
}

TEST_F(ViewCommandsTest, PresetButtonsReapplyTheirPresetAboutTheReferenceLocation) {
  frmMain& f = OpenFitted();
  f.mnuViewDBB[3]->trigger();
  f.picSpectrum_MouseDown(1, 0, 712.5f, -40);
  ASSERT_EQ(f.Modes().Mouse().ClickButton, 1);
  f.tbMain->ClickButton("dBperDiv");
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleHeight(), 1.25f);
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleTop(), -40.625f);
  EXPECT_FLOAT_EQ(f.Navigator().Selection().SelectedX, 712.5f);
  EXPECT_FLOAT_EQ(f.Navigator().Selection().SelectedY, -40);
  EXPECT_EQ(f.Modes().Mouse().ClickButton, 0);
  // The pointer is put on the location.
  const QPoint expected(static_cast<int>(std::nearbyint(f.picSpectrum->PixelX(712.5))),
                        static_cast<int>(std::nearbyint(f.picSpectrum->PixelY(-40))));
  EXPECT_EQ(QCursor::pos(), f.picSpectrum->mapToGlobal(expected));

  f.mnuViewFB[4]->trigger();
  f.tbMain->ClickButton("FSpan");
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleWidth(), 5);
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleLeft(), 710);

  // The drop-down entries choose the preset by their key's digit.
  f.picSpectrum_MouseDown(1, 0, 650, -40);
  f.picSpectrum_Click();
  f.tbMain->ClickButtonMenu("FSpan", "FB6");
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleWidth(), 25);
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleLeft(), 637.5f);
  EXPECT_EQ(f.View().SpanIndex(), 6);
  f.tbMain->ClickButtonMenu("dBperDiv", "dBB8");
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleHeight(), 62.5f);
  EXPECT_EQ(f.View().DBDivIndex(), 8);
}

TEST_F(ViewCommandsTest, PresetButtonBeforeAnyDataSetCentresOnTheCapturesCentre) {
  frmMain& f = OpenFitted();
  ASSERT_EQ(f.Navigator().Selection().ClickX, kNoLocation);
  f.mnuViewFB[8]->trigger();
  ASSERT_EQ(f.Navigator().Selection().ClickX, kNoLocation);
  f.tbMain->ClickButton("FSpan");
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleLeft(), 650);  // 700 - 100 / 2
  EXPECT_FLOAT_EQ(f.Navigator().Selection().ClickX, 700);
  EXPECT_FLOAT_EQ(f.Navigator().Selection().ClickY, 0);
}

TEST_F(ViewCommandsTest, PreviousTraceSwitchedOnBeforeAnyDataSetRunsTheUpdate) {
  frmMain& f = OpenFitted();
  f.mnuToolsLastTrace->trigger();
  EXPECT_EQ(f.Spectrum().Traces().DataSets, 1);
  EXPECT_TRUE(forms::DialogSeam::Shown().empty());
}

TEST_F(ViewCommandsTest, RedrawWithAllTracesOffShowsOnlyTheScaleAndThreshold) {
  frmMain& f = OpenFitted();
  // Two data sets that differ: carriers in other places, noise of its own.
  const auto showTwo = [&f] {
    ShowBlock(f, blocks::CarrierBlock({{300, 80}, {1200, 20}}, 6, 1));
    ShowBlock(f, blocks::CarrierBlock({{700, 60}, {1800, 40}}, 6, 2));
  };
  showTwo();
  // Only the current trace is on after start-up: switch it off. The
  // threshold is put among the data, where the fitted range shows it.
  f.mnuToolsCurrentTrace->trigger();
  f.mnuViewThreshold->trigger();
  f.picSpectrum_MouseDown(1, 0, 700, -40);
  f.picSpectrum_Click();
  const PaletteColors& c = f.View().Palettes()[0];
  auto count = [&](int slot) {
    const QImage& img = f.picSpectrum->Image();
    const QRgb colour = forms::RgbFromColorRef(c[static_cast<std::size_t>(slot)]);
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x)
        if (img.pixel(x, y) == colour) ++n;
    return n;
  };
  for (int slot : {kSlotSpectrumTrace, kSlotPreviousTrace, kSlotVideoAverage, kSlotPeakHold})
    EXPECT_EQ(count(slot), 0) << slot;
  for (int slot : {kSlotBackground, kSlotGridLines, kSlotLegendScale, kSlotPeakThreshold})
    EXPECT_GT(count(slot), 0) << slot;
  // Every trace on, and the two data sets once more: the accumulations
  // restarted when they were switched on.
  for (QAction* item : {f.mnuToolsCurrentTrace, f.mnuToolsLastTrace, f.mnuToolsVideoAverage, f.mnuToolsPeakHold})
    item->trigger();
  showTwo();
  for (int slot : {kSlotSpectrumTrace, kSlotPreviousTrace, kSlotVideoAverage, kSlotPeakHold})
    EXPECT_GT(count(slot), 0) << slot;
}

TEST_F(ViewCommandsTest, AMenuPresetBeforeThePointerWasOnThePlotCentresOnTheCapture) {
  frmMain& f = OpenFitted();
  f.mnuViewFB[5]->trigger();  // 10 units wide
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleLeft(), 695);
  f.mnuViewDBB[9]->trigger();  // 125 dB high, about 0 dB
  EXPECT_FLOAT_EQ(f.picSpectrum->ScaleTop(), -62.5f);
}

}  // namespace
}  // namespace specterm
