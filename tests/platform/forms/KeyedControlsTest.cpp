#include "forms/ImageList.h"
#include "forms/KeyedStatusBar.h"
#include "forms/KeyedToolBar.h"
#include "forms/VirtualKeys.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

using forms::KeyedToolBar;

class ToolBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bar.AddButton("StopGo", KeyedToolBar::Style::Default, "Stop Updates");
    bar.AddButton("PeakHold", KeyedToolBar::Style::Check, "Peak Hold Trace");
    bar.AddButton("dBperDiv", KeyedToolBar::Style::DropDown, "Zoom by dB per Division");
    bar.AddButtonMenu("dBperDiv", "dBB0", "0.0&1 per Division");
    bar.AddButtonMenu("dBperDiv", "dBB1", "0.0&2 per Division");
    bar.AddPlaceholder("PeakPoint", 1245);
    bar.resize(600, 28);
    bar.show();
  }
  KeyedToolBar bar;
};

TEST_F(ToolBarTest, NormalButtonsShowPressedOnlyWhenTold) {
  QSignalSpy clicks(&bar, &KeyedToolBar::ButtonClick);
  bar.ClickButton("StopGo");
  ASSERT_EQ(clicks.count(), 1);
  EXPECT_EQ(clicks[0][0].toString(), "StopGo");
  EXPECT_FALSE(bar.Pressed("StopGo"));
  bar.SetPressed("StopGo", true);
  bar.ClickButton("StopGo");
  EXPECT_TRUE(bar.Pressed("StopGo"));
  EXPECT_EQ(clicks.count(), 2);
}

TEST_F(ToolBarTest, CheckButtonsToggleBeforeTheClickIsReported) {
  bool pressedInHandler = false;
  QObject::connect(&bar, &KeyedToolBar::ButtonClick,
                   [&](const QString&) { pressedInHandler = bar.Pressed("PeakHold"); });
  bar.ClickButton("PeakHold");
  EXPECT_TRUE(pressedInHandler);
  bar.ClickButton("PeakHold");
  EXPECT_FALSE(bar.Pressed("PeakHold"));
}

TEST_F(ToolBarTest, KeysCompareWithoutCase) {
  EXPECT_TRUE(bar.Exists("peakhold"));
  bar.SetToolTip("PEAKHOLD", "Peak Hold Trace [3]");
  EXPECT_EQ(bar.ToolTip("PeakHold"), "Peak Hold Trace [3]");
  EXPECT_FALSE(bar.Exists("Nothing"));
  bar.SetPressed("Nothing", true);  // a missing key is ignored
}

TEST_F(ToolBarTest, DisabledButtonsDoNotClick) {
  QSignalSpy clicks(&bar, &KeyedToolBar::ButtonClick);
  bar.SetEnabled("StopGo", false);
  EXPECT_FALSE(bar.Enabled("StopGo"));
  bar.ClickButton("StopGo");
  QTest::mouseClick(bar.ButtonWidget("StopGo"), Qt::LeftButton);
  EXPECT_EQ(clicks.count(), 0);
}

TEST_F(ToolBarTest, ButtonMenusReportBothKeysAndTakeTextByPosition) {
  QSignalSpy menuClicks(&bar, &KeyedToolBar::ButtonMenuClick);
  bar.ClickButtonMenu("dBperDiv", "dBB1");
  ASSERT_EQ(menuClicks.count(), 1);
  EXPECT_EQ(menuClicks[0][0].toString(), "dBperDiv");
  EXPECT_EQ(menuClicks[0][1].toString(), "dBB1");
  EXPECT_EQ(bar.ButtonMenuKeys("dBperDiv"), QStringList({"dBB0", "dBB1"}));
  bar.SetButtonMenuText("dBperDiv", 2, "changed");
  EXPECT_EQ(bar.ButtonMenuText("dBperDiv", "dBB1"), "changed");
  bar.SetButtonMenuText("dBperDiv", 3, "ignored");  // beyond the last entry
}

TEST_F(ToolBarTest, PlaceholdersHoldAWidgetAtTheirWidth) {
  auto* combo = new QComboBox;
  bar.SetPlaceholderWidget("PeakPoint", combo);
  EXPECT_EQ(combo->parentWidget(), bar.ButtonWidget("PeakPoint"));
  EXPECT_EQ(bar.ButtonRectTwips("PeakPoint").width(), 1245);
}

TEST_F(ToolBarTest, MouseDownReportsTwipsWithinTheToolbar) {
  QSignalSpy downs(&bar, &KeyedToolBar::MouseDown);
  QWidget* button = bar.ButtonWidget("PeakHold");
  QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(4, 5));
  ASSERT_EQ(downs.count(), 1);
  EXPECT_FLOAT_EQ(downs[0][2].toFloat(), (button->x() + 4) * 15.0f);
  EXPECT_FLOAT_EQ(downs[0][3].toFloat(), (button->y() + 5) * 15.0f);
}

TEST(StatusBarTest, PanelsByKeyWithWidthsInTwips) {
  forms::KeyedStatusBar bar;
  bar.AddPanel("Status", 3000, "Status");
  bar.AddPanel("CurPoint", 1200, "Current Data Point", "None");
  bar.AddPanel("Amplitude", 1500, "Amplitude");
  bar.resize(400, 22);
  bar.show();
  EXPECT_EQ(bar.PanelText("curpoint"), "None");
  EXPECT_EQ(bar.PanelLeft("Amplitude"), 4200);
  bar.SetPanelWidth("Status", 1500);
  EXPECT_EQ(bar.PanelLeft("Amplitude"), 2700);
  EXPECT_EQ(bar.PanelWidget("Amplitude")->x(), 180);
  EXPECT_EQ(bar.Keys(), QStringList({"Status", "CurPoint", "Amplitude"}));
}

TEST(StatusBarTest, ClicksAndDoubleClicksNameThePanel) {
  forms::KeyedStatusBar bar;
  bar.AddPanel("Status", 3000, "Status");
  bar.AddPanel("CurPoint", 1200, "Current Data Point", "None");
  bar.resize(400, 22);
  bar.show();
  QSignalSpy clicks(&bar, &forms::KeyedStatusBar::PanelClick);
  QSignalSpy doubles(&bar, &forms::KeyedStatusBar::PanelDblClick);
  QWidget* panel = bar.PanelWidget("CurPoint");
  QTest::mouseClick(panel, Qt::LeftButton);
  ASSERT_EQ(clicks.count(), 1);
  EXPECT_EQ(clicks[0][0].toString(), "CurPoint");
  QTest::mouseDClick(panel, Qt::LeftButton);
  ASSERT_EQ(doubles.count(), 1);
  EXPECT_EQ(doubles[0][0].toString(), "CurPoint");
}

TEST(StatusBarTest, ClippedTextIsInTheToolTip) {
  forms::KeyedStatusBar bar;
  bar.AddPanel("Status", 600, "Status");
  bar.resize(400, 22);
  bar.show();
  bar.SetPanelText("Status", "Attempting connection to a modem with a long name (<Ctrl>S to Abort)...");
  EXPECT_EQ(bar.PanelWidget("Status")->toolTip(), bar.PanelText("Status"));
  bar.SetPanelText("Status", "");
  EXPECT_EQ(bar.PanelWidget("Status")->toolTip(), "Status");
}

TEST(ImageListTest, IndexAndKeyLookups) {
  forms::ImageList list;
  QPixmap red(16, 16);
  red.fill(Qt::red);
  EXPECT_EQ(list.Add(red, "ZoomWin"), 1);
  EXPECT_EQ(list.Add(red), 2);
  EXPECT_EQ(list.IndexOf("zoomwin"), 1);
  EXPECT_EQ(list.IndexOf("missing"), 0);
  EXPECT_TRUE(list.Picture(3).isNull());
  list.Add(red, "Pointer", QPoint(3, 4));
  EXPECT_EQ(list.Cursor("pointer").hotSpot(), QPoint(3, 4));
}

TEST(VirtualKeyTest, ArrowsLettersAndFunctionKeys) {
  EXPECT_EQ(forms::VirtualKeyFromQt(Qt::Key_Left), 37);
  EXPECT_EQ(forms::VirtualKeyFromQt(Qt::Key_Down), 40);
  EXPECT_EQ(forms::VirtualKeyFromQt(Qt::Key_Enter), 13);
  EXPECT_EQ(forms::VirtualKeyFromQt(Qt::Key_Return), 13);
  EXPECT_EQ(forms::VirtualKeyFromQt(Qt::Key_Escape), 27);
  EXPECT_EQ(forms::VirtualKeyFromQt(Qt::Key_Home), 36);
  EXPECT_EQ(forms::VirtualKeyFromQt(Qt::Key_PageUp), 33);
  EXPECT_EQ(forms::VirtualKeyFromQt(Qt::Key_N), 78);
  EXPECT_EQ(forms::VirtualKeyFromQt(Qt::Key_F3), 114);
  EXPECT_EQ(forms::VirtualKeyFromQt(Qt::Key_Launch0), 0);
  for (int vk : {8, 13, 27, 32, 33, 34, 35, 36, 37, 38, 39, 40, 66, 76, 78, 80, 84, 112})
    EXPECT_EQ(forms::VirtualKeyFromQt(forms::QtKeyFromVirtual(vk)), vk) << vk;
  EXPECT_EQ(forms::ShiftFromQt(Qt::AltModifier | Qt::ControlModifier), 6);
}

TEST(VirtualKeyTest, KeyAsciiOfTypedCharacters) {
  QKeyEvent minus(QEvent::KeyPress, Qt::Key_Minus, Qt::NoModifier, "-");
  EXPECT_EQ(forms::KeyAsciiFromEvent(minus), '-');
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
  EXPECT_EQ(forms::KeyAsciiFromEvent(enter), 13);
  QKeyEvent arrow(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
  EXPECT_EQ(forms::KeyAsciiFromEvent(arrow), 0);
}

}  // namespace
