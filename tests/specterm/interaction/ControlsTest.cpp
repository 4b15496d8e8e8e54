// The controls of the main window as the commands will find them: toolbar
// buttons and button menus by key, menu items by name with their captions
// and shortcuts, the move-type labels, and the enabling of the moves.

#include "FormFixture.h"
#include "forms/KeyedToolBar.h"
#include "modems/RegSettings.h"
#include "modems/Settings.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>

namespace specterm {
namespace {

class ControlsTest : public testing::FormTest {};

TEST_F(ControlsTest, MainToolbarButtonsInOrderWithTheirToolTips) {
  frmMain& f = Open();
  f.comboPeakPoint->setCurrentIndex(0);
  const QStringList keys = {"Export",       "StopGo",      "SingleStep", "CurrentTrace",  "PeakHold",
                            "VideoAverage", "LastTrace",   "Select",     "ZoomWin",       "ZoomIn",
                            "ZoomOut",      "Pan",         "dBperDiv",   "FSpan",         "ZoomFitView",
                            "Previous",     "ZoomCursors", "FirstPoint", "NextPoint",     "PreviousPoint",
                            "LastPoint",    "CurPoint",    "PeakPoint",  "PeakThreshold", "Status"};
  EXPECT_EQ(f.tbMain->Keys(), keys);
  const std::pair<const char*, const char*> tips[] = {
      {"Export", "Export"},
      {"StopGo", "Stop Updates"},
      {"SingleStep", "Single Step"},
      {"CurrentTrace", "Current Spectrum Trace"},
      {"PeakHold", "Peak Hold Trace"},
      {"VideoAverage", "Video Average Trace"},
      {"LastTrace", "Previous Spectrum Trace"},
      {"Select", "Select Mode"},
      {"ZoomWin", "Zoom Window"},
      {"ZoomIn", "Zoom In"},
      {"ZoomOut", "Zoom Out"},
      {"Pan", "Pan"},
      {"dBperDiv", "Zoom by dB per Division"},
      {"FSpan", "Zoom by Frequency Span"},
      {"ZoomFitView", "Fit View"},
      {"Previous", "Zoom Previous"},
      {"ZoomCursors", "Zoom to Fit Cursors"},
      {"FirstPoint", "Go to First Point"},
      {"NextPoint", "Go to Next Point"},
      {"PreviousPoint", "Go to Previous Point"},
      {"LastPoint", "Go to Last Point"},
      {"CurPoint", "Go to Last Selected Point"},
      {"PeakThreshold", "Position Minimum Peak Threshold"},
      {"Status", "Update Status"},
  };
  for (const auto& [key, tip] : tips) EXPECT_EQ(f.tbMain->ToolTip(key), tip) << key;
  EXPECT_EQ(f.comboPeakPoint->parentWidget(), f.tbMain->ButtonWidget("PeakPoint"));
  EXPECT_EQ(f.comboPeakPoint->toolTip(), "Select Move Type");
  EXPECT_EQ(f.comboPeakPoint->itemText(0), "All Points");
  EXPECT_EQ(f.comboPeakPoint->itemText(1), "Peak Points");
  EXPECT_GE(f.tbMain->ButtonRectTwips("PeakPoint").width(), 1245);
  // Every button is inside the window at its smallest width.
  for (const QString& key : keys)
    EXPECT_LE(f.tbMain->ButtonWidget(key)->geometry().right(), f.centralWidget()->width()) << key.toStdString();
}

TEST_F(ControlsTest, ButtonMenusHaveTheirKeysAndTexts) {
  frmMain& f = Open();
  EXPECT_EQ(f.tbMain->ButtonMenuKeys("Export"),
            QStringList({"Raw", "Transformed", "TranScaled", "PeakHold", "VideoAverage"}));
  EXPECT_EQ(f.tbMain->ButtonMenuText("Export", "TranScaled"), "Export Transformed && Scaled Data Set");
  QStringList dbKeys;
  QStringList spanKeys;
  for (int i = 0; i < 10; ++i) {
    dbKeys << QStringLiteral("dBB%1").arg(i);
    spanKeys << QStringLiteral("FB%1").arg(i);
  }
  EXPECT_EQ(f.tbMain->ButtonMenuKeys("dBperDiv"), dbKeys);
  EXPECT_EQ(f.tbMain->ButtonMenuKeys("FSpan"), spanKeys);
  EXPECT_EQ(f.tbMain->ButtonMenuText("dBperDiv", "dBB0"), "0.0&1 per Division");
  EXPECT_EQ(f.tbMain->ButtonMenuText("dBperDiv", "dBB9"), "&10.00 per Division");
  EXPECT_EQ(f.tbMain->ButtonMenuText("FSpan", "FB0"), "0.02MHz Span");
  EXPECT_EQ(f.tbMain->ButtonMenuText("FSpan", "FB9"), "25.00MHz Span");
}

TEST_F(ControlsTest, CursorToolbarHasItsButtonsAndSlots) {
  frmMain& f = Open();
  EXPECT_EQ(f.tbCursors->Keys(),
            QStringList({"CursorOne", "Cursor1", "CursorTwo", "Cursor2", "CursorDelta", "Cursor3"}));
  EXPECT_EQ(f.tbCursors->ToolTip("CursorOne"), "Position Cursor 1");
  EXPECT_EQ(f.tbCursors->ToolTip("CursorTwo"), "Position Cursor 2");
  EXPECT_EQ(f.tbCursors->ToolTip("CursorDelta"), "View Cursors");
  for (const char* slot : {"Cursor1", "Cursor2", "Cursor3"})
    EXPECT_EQ(f.tbCursors->ButtonRectTwips(slot).width(), 2205) << slot;  // 2210 twips, whole pixels
  const char* tips[8] = {"Cursor 1 Frequency", "Cursor 2 Frequency", "Cursor Delta in Frequency", "Cursor 1 Amplitude",
                         "Cursor 2 Amplitude", "Cursor Delta in dB", "Current Frequency",         "Current Amplitude"};
  for (std::size_t i = 0; i < 8; ++i) {
    EXPECT_EQ(f.txtCursor[i]->toolTip(), tips[i]) << i;
    EXPECT_EQ(f.txtCursor[i]->objectName(), QStringLiteral("txtCursor(%1)").arg(i));
  }
  EXPECT_EQ(f.txtThreshold->toolTip(), "Minimum Peak Threshold");
}

TEST_F(ControlsTest, MenusInOrderWithTheirItems) {
  frmMain& f = Open();
  QStringList titles;
  for (QAction* a : f.menuBar()->actions()) titles << a->text();
  EXPECT_EQ(titles, QStringList({"&File", "&View", "&Tools", "&Options", "&Communications", "&Help"}));
  QStringList comm;
  for (QAction* a : f.mnuComm->actions()) comm << (a->isSeparator() ? QStringLiteral("-") : a->text());
  EXPECT_EQ(comm, QStringList({"&Add Halden Modem", "&Manage Modems/Select Modem", "&Recently Monitored Modems", "-",
                               "&Start Data Set Updates", "Perform a Single &Update"}));
  EXPECT_EQ(f.mnuFileExit->text(), "E&xit Halden Spectrum Analyzer");
  EXPECT_EQ(f.mnuHelpAbout->text(), "&About Halden Spectrum Analyzer");
  EXPECT_EQ(f.findChild<QAction*>("mnuFileScaled")->text(), "Export Transformed && &Scaled Data Set");
  EXPECT_EQ(f.findChild<QAction*>("mnuViewDBB(4)")->text(), "0.&25dB per Division");
  EXPECT_EQ(f.findChild<QAction*>("mnuViewFB(2)")->text(), "0.10MHz Span");
  EXPECT_EQ(f.findChild<QAction*>("mnuViewColors(1)")->text(), "Configure Printer Palette &Colors");
  EXPECT_EQ(f.findChild<QAction*>("mnuOptionsPalette(0)")->text(), "Select Color Palette for &Viewing");
  EXPECT_FALSE(f.mnuViewDone->isVisible());
  EXPECT_FALSE(f.mnuViewSep1->isVisible());
}

TEST_F(ControlsTest, MenuShortcuts) {
  frmMain& f = Open();
  const std::pair<const char*, const char*> shortcuts[] = {
      {"mnuCommStopGo", "Ctrl+S"},        {"mnuCommSingleStep", "F5"},        {"mnuToolsCurrentTrace", "Ctrl+U"},
      {"mnuToolsPeakHold", "Ctrl+H"},     {"mnuToolsVideoAverage", "Ctrl+A"}, {"mnuToolsLastTrace", "Ctrl+D"},
      {"mnuViewZoomWin", "Ctrl+W"},       {"mnuViewZoomIn", "Ctrl+I"},        {"mnuViewZoomOut", "Ctrl+O"},
      {"mnuViewPan", "Ctrl+R"},           {"mnuViewFitView", "Ctrl+F"},       {"mnuViewPrevious", "Ctrl+V"},
      {"mnuViewZoomCursors", "Ctrl+Z"},   {"mnuViewFirstPoint", "Ctrl+B"},    {"mnuViewNextPoint", "Ctrl+N"},
      {"mnuViewPreviousPoint", "Ctrl+P"}, {"mnuViewLastPoint", "Ctrl+T"},     {"mnuViewCurPoint", "Ctrl+L"},
      {"mnuViewThreshold", "Ctrl+M"},     {"mnuViewCursor(0)", "F1"},         {"mnuViewCursor(1)", "F2"},
      {"mnuViewCursors", "F3"},           {"mnuViewCopy", "Ctrl+C"},
  };
  for (const auto& [name, keys] : shortcuts) {
    auto* action = f.findChild<QAction*>(name);
    ASSERT_NE(action, nullptr) << name;
    EXPECT_EQ(action->shortcut().toString(), keys) << name;
  }
}

TEST_F(ControlsTest, AShortcutRunsTheItemAndItsButtonFollows) {
  frmMain& f = Open();
  QApplication::setActiveWindow(&f);
  ASSERT_TRUE(testsupport::WaitUntil([&] { return f.isActiveWindow(); }));
  QTest::keyClick(&f, Qt::Key_H, Qt::ControlModifier);
  EXPECT_TRUE(f.mnuToolsPeakHold->isChecked());
  EXPECT_TRUE(f.tbMain->Pressed("PeakHold"));
}

TEST_F(ControlsTest, MoveTypeRelabelsTheMoveCommands) {
  frmMain& f = Open();
  f.comboPeakPoint->setCurrentIndex(0);
  EXPECT_EQ(f.Navigator().Selection().MoveType, 0);
  EXPECT_EQ(f.tbMain->ToolTip("FirstPoint"), "Go to First Point");
  EXPECT_EQ(f.tbMain->ToolTip("CurPoint"), "Go to Last Selected Point");
  EXPECT_EQ(f.mnuViewLastPoint->text(), "Go to Last (&Top) Point");
  EXPECT_EQ(f.mnuViewPeakPoint->text(), "Select &Move by Peak Points");

  f.mnuViewPeakPoint->trigger();
  EXPECT_EQ(f.Navigator().Selection().MoveType, 1);
  EXPECT_EQ(f.comboPeakPoint->currentIndex(), 1);
  EXPECT_EQ(f.tbMain->ToolTip("NextPoint"), "Go to Next Highest Peak");
  EXPECT_EQ(f.tbMain->ToolTip("PreviousPoint"), "Go to Previous Highest Peak");
  EXPECT_EQ(f.tbMain->ToolTip("LastPoint"), "Go to Highest Peak");
  EXPECT_EQ(f.tbMain->ToolTip("CurPoint"), "Go to Last Selected Peak");
  EXPECT_EQ(f.mnuViewFirstPoint->text(), "Go to Lowest (&Bottom) Peak");
  EXPECT_EQ(f.mnuViewNextPoint->text(), "Go to &Next Highest Peak");
  EXPECT_EQ(f.mnuViewPreviousPoint->text(), "Go to &Previous Highest Peak");
  EXPECT_EQ(f.mnuViewCurPoint->text(), "Go to &Last Selected Peak");
  EXPECT_EQ(f.mnuViewPeakPoint->text(), "Select &Move by All Points");
}

TEST_F(ControlsTest, MovesNeedATraceRowAndASpectrum) {
  {
    frmMain& f = Open();
    ShowBlock(f, blocks::ZeroBlock());
    EXPECT_TRUE(f.tbMain->Enabled("FirstPoint"));
    EXPECT_TRUE(f.mnuViewLastPoint->isEnabled());
    Close();
  }
  // With no trace shown at start-up there is no row to move in.
  SaveRegSetting(kConfigurationKey, "CurrentTrace", "False");
  frmMain& f = Open();
  ASSERT_EQ(f.Navigator().Selection().SelectedTrace, -1);
  ShowBlock(f, blocks::ZeroBlock());
  for (const char* key : {"FirstPoint", "NextPoint", "PreviousPoint", "LastPoint"})
    EXPECT_FALSE(f.tbMain->Enabled(key)) << key;
  EXPECT_FALSE(f.mnuViewPreviousPoint->isEnabled());
  // The last-selected command is not theirs to manage.
  EXPECT_FALSE(f.tbMain->Enabled("CurPoint"));
}

TEST_F(ControlsTest, APressOnTheToolbarIsRememberedInTwips) {
  frmMain& f = Open();
  QWidget* button = f.tbMain->ButtonWidget("NextPoint");
  QTest::mousePress(button, Qt::LeftButton, Qt::NoModifier, QPoint(3, 4));
  QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier, QPoint(3, 4));
  EXPECT_FLOAT_EQ(f.Input().Commands().ToolbarPressX, (button->x() + 3) * 15.0f);
  EXPECT_FLOAT_EQ(f.Input().Commands().ToolbarPressY, (button->y() + 4) * 15.0f);
}

// What a subsystem that follows the data (a measurement, a history) hangs
// on: each data set drawn, each cursor placed or shown, each selection and
// each trace row switched.
TEST_F(ControlsTest, TheSubsystemsSayWhenTheDataTheCursorsTheSelectionAndTheRowsChange) {
  frmMain& f = OpenWithCarriers();
  QSignalSpy dataSets(&f.Cycle(), &CaptureCycle::DataSetUpdated);
  QSignalSpy cursors(&f.CursorPair(), &Cursors::CursorsChanged);
  QSignalSpy selections(&f.Navigator(), &Navigation::SelectionChanged);
  QSignalSpy rows(&f.Traces(), &TraceSwitches::TraceSwitched);

  ShowBlock(f, blocks::CarrierBlock({{kHighPoint, 100}}));
  EXPECT_EQ(dataSets.count(), 1);
  // Showing the previous row processes the samples at hand again.
  f.mnuToolsLastTrace->trigger();
  EXPECT_EQ(dataSets.count(), 2);
  ASSERT_EQ(rows.count(), 1);
  EXPECT_EQ(rows.at(0).at(0).toInt(), kTracePrevious);
  EXPECT_TRUE(rows.at(0).at(1).toBool());

  f.Form_KeyUp('T', 0);
  EXPECT_EQ(selections.count(), 1);
  EXPECT_EQ(f.Navigator().Selection().SelectedPoint, kHighPoint);

  f.mnuViewCursor[0]->trigger();
  f.picSpectrum_MouseDown(1, 0, 650, -40);
  f.picSpectrum_Click();
  f.mnuViewCursors->trigger();
  EXPECT_EQ(cursors.count(), 3);  // armed, placed, hidden
  EXPECT_FALSE(f.CursorPair().CursorDisplay());
}

}  // namespace
}  // namespace specterm
