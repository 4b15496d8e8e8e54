// The "Measurements" dock through its controls: the View menu shows it, its
// values follow the cursors and the data sets, a click on a peak selects
// it, its text copies, and its place is kept with the window settings.

#include "FormFixture.h"
#include "forms/PictureBox.h"
#include "processing/Measurements.h"

#include <QClipboard>
#include <QDockWidget>
#include <QGuiApplication>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>

namespace specterm {
namespace {

class MeasurementPanelTest : public testing::FormTest {
 protected:
  // The carriers' data set, with the dock shown and the window active.
  frmMain& OpenDock() {
    frmMain& f = OpenWithCarriers();
    f.mnuViewMeasurements->trigger();
    f.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&f));
    return f;
  }
  static QString Value(const frmMain& f, const QString& name) {
    for (int row = 0; row < f.tblMeasurements->rowCount(); ++row)
      if (f.tblMeasurements->item(row, 0)->text() == name) return f.tblMeasurements->item(row, 1)->text();
    return QStringLiteral("no line ") + name;
  }
  static QString Peak(const frmMain& f, int row, int column) { return f.tblPeaks->item(row, column)->text(); }
  static QString Clipboard() { return QGuiApplication::clipboard()->text(); }
};

TEST_F(MeasurementPanelTest, ShownByTheViewMenuAndKeptWithTheWindowSettings) {
  frmMain& f = Open();
  EXPECT_TRUE(f.dockMeasurements->isHidden());
  EXPECT_EQ(f.mnuViewMeasurements->shortcut(), QKeySequence(Qt::Key_F6));
  EXPECT_EQ(f.centralWidget()->width(), f.width());
  f.mnuViewMeasurements->trigger();
  EXPECT_EQ(f.dockWidgetArea(f.dockMeasurements), Qt::RightDockWidgetArea);
  // The plot and its scroll bar make room for it.
  EXPECT_TRUE(testsupport::WaitUntil([&] {
    return f.centralWidget()->width() < f.width() && f.vScroll->geometry().right() == f.centralWidget()->width() - 1;
  }));
  // Every column of the peak table fits beside its scroll bar.
  EXPECT_TRUE(testsupport::WaitUntil([&] {
    int columns = 0;
    for (int column = 0; column < f.tblPeaks->columnCount(); ++column) columns += f.tblPeaks->columnWidth(column);
    return f.tblPeaks->viewport()->width() + f.tblPeaks->verticalScrollBar()->sizeHint().width() >= columns;
  }));
  EXPECT_EQ(Value(f, "Trace"), "No data set yet");
  EXPECT_EQ(Value(f, "From"), "Place both cursors (F1, F2)");
  f.addDockWidget(Qt::LeftDockWidgetArea, f.dockMeasurements);
  Close();
  frmMain& again = Open();
  EXPECT_TRUE(again.dockMeasurements->isVisible());
  EXPECT_TRUE(again.mnuViewMeasurements->isChecked());
  EXPECT_EQ(again.dockWidgetArea(again.dockMeasurements), Qt::LeftDockWidgetArea);
  again.mnuViewMeasurements->trigger();
  EXPECT_TRUE(again.dockMeasurements->isHidden());
}

TEST_F(MeasurementPanelTest, ValuesFollowTheCursorsAndTheDataSets) {
  frmMain& f = OpenDock();
  // Above the floor of the samples' rounding only the carriers are left.
  f.Navigator().SetMinPeakThreshold(60);
  ASSERT_EQ(f.tblPeaks->rowCount(), 2);
  EXPECT_EQ(Peak(f, 0, 1), QString::number(kHighPoint));
  EXPECT_EQ(Peak(f, 1, 1), QString::number(kLowPoint));
  EXPECT_EQ(Peak(f, 0, 4), "0.000 dB");
  EXPECT_TRUE(Peak(f, 1, 2).endsWith(" MHz"));

  // Both cursors about the higher carrier (77.31 MHz), shown.
  f.mnuViewCursors->trigger();
  f.CursorPair().Place(1, 770, -50);
  f.CursorPair().Place(2, 776, -50);
  EXPECT_EQ(Value(f, "From"), "77.000000 MHz");
  EXPECT_EQ(Value(f, "Width"), "0.600000 MHz");
  const auto band = f.Measurer().Current()->Band;
  ASSERT_TRUE(band && band->CarrierToNoise);
  EXPECT_EQ(Value(f, "C/N"), QString::fromStdString(DecibelText(band->CarrierToNoise)));
  EXPECT_TRUE(Value(f, "Peak in Band").startsWith(QString::number(kHighPoint) + " 77.3"));
  EXPECT_TRUE(f.Measurer().CaptionLine().contains("; C/N: " + Value(f, "C/N") + ";"));

  f.mnuViewCursors->trigger();
  EXPECT_EQ(Value(f, "From"), "Show the cursors (F3)");
  EXPECT_EQ(Value(f, "C/N"), "");
  ShowBlock(f, blocks::CarrierBlock({{900, 100}}));
  ASSERT_EQ(f.tblPeaks->rowCount(), 1);
  EXPECT_EQ(Peak(f, 0, 1), "900");
}

TEST_F(MeasurementPanelTest, ClickingAPeakSelectsItAndBringsItIntoView) {
  frmMain& f = OpenDock();
  // A view of the whole amplitude range far from the lower carrier
  // (63.3 MHz): the move alone would leave it there.
  const ViewRect fit = f.View().FitWindow();
  f.View().ZoomToView({760, fit.Top, 20, fit.Height});
  ASSERT_FALSE(f.View().InRange(f.Spectrum().Traces().TraceX[0][kLowPoint - 1], -80));
  const QRect row = f.tblPeaks->visualItemRect(f.tblPeaks->item(1, 0));
  QTest::mouseClick(f.tblPeaks->viewport(), Qt::LeftButton, {}, row.center());
  ASSERT_TRUE(testsupport::WaitUntil([&] { return f.Navigator().Selection().SelectedPoint == kLowPoint; }));
  const SelectionState& selection = f.Navigator().Selection();
  EXPECT_TRUE(f.View().InRange(selection.SelectedX, selection.SelectedY));
  EXPECT_TRUE(selection.MarkerShown);
}

TEST_F(MeasurementPanelTest, CopiesItsTextWhileTheWindowsShortcutsWorkElsewhere) {
  frmMain& f = OpenDock();
  f.mnuMeasurementsCopy->trigger();
  EXPECT_TRUE(Clipboard().startsWith("Trace\tCurrent\nFrom\tPlace both cursors (F1, F2)\n"))
      << Clipboard().toStdString();
  EXPECT_TRUE(Clipboard().contains("\nRank\tPoint\tFrequency\tLevel\tBelow Highest\n1\t600\t77."))
      << Clipboard().toStdString();
  EXPECT_FALSE(Clipboard().contains("dBm"));

  // Ctrl+C in the dock copies its text; Ctrl+A there is still the menu's.
  QGuiApplication::clipboard()->clear();
  f.tblPeaks->setFocus();
  QTest::keyClick(f.windowHandle(), Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(Clipboard(), f.Measurer().CopyText());
  QTest::keyClick(f.windowHandle(), Qt::Key_A, Qt::ControlModifier);
  EXPECT_TRUE(f.mnuToolsVideoAverage->isChecked());
  // On the plot, Ctrl+C copies the picture.
  QGuiApplication::clipboard()->clear();
  f.picSpectrum->setFocus();
  QTest::keyClick(f.windowHandle(), Qt::Key_C, Qt::ControlModifier);
  EXPECT_FALSE(QGuiApplication::clipboard()->image().isNull());
}

}  // namespace
}  // namespace specterm
