// Start-up and shutdown of the main window through real registry files:
// the first run, every setting saved and restored across a close and a
// reopen, the stored modem directory, titles and the About box.

#include "FormFixture.h"
#include "forms/KeyedStatusBar.h"
#include "forms/KeyedToolBar.h"
#include "forms/PictureBox.h"
#include "modems/DateText.h"
#include "modems/RegSettings.h"
#include "modems/frmAbout.h"
#include "view/Icons.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace specterm {
namespace {

class StartupTest : public testing::FormTest {};

QImage ButtonImage(const frmMain& f, const char* key) {
  auto* button = qobject_cast<QToolButton*>(f.tbMain->ButtonWidget(QString::fromLatin1(key)));
  return button->icon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
}

QImage ListImage(const forms::ImageList& list, int index) {
  return list.Picture(index).toImage().convertToFormat(QImage::Format_ARGB32);
}

// A pixel of the background near the centre: between the grid lines of the
// fit view (25 MHz / 10 dB steps) and off the threshold line at 0 dB.
QRgb CentrePixel(forms::PictureBox* pic) {
  const QImage& img = pic->Image();
  return img.pixel(static_cast<int>(pic->PixelX(712.5)), static_cast<int>(pic->PixelY(-5.0)));
}

void StoreModem(int n, const std::string& name, const std::string& address, const vb::DateTime& when) {
  const std::string key = "Halden Modems\\Modem" + std::to_string(n);
  SaveRegSetting(key, "ModemName", name);
  SaveRegSetting(key, "IP_Address", address);
  SaveRegSetting(key, "LastCommunication", DateToText(when));
}

TEST_F(StartupTest, FirstRunShowsEveryDefault) {
  frmMain& f = Open();
  EXPECT_EQ(f.windowTitle(), "Halden Spectrum Analyzer - Version 1.0.14");
  EXPECT_TRUE(f.isVisible());
  EXPECT_EQ(f.size(), QSize(794, 384));  // 11910 x 5760 twips
  EXPECT_EQ(f.pos(), QPoint(0, 0));

  // Viewing palette: black background.
  EXPECT_EQ(f.View().CurrentPalette(), 0);
  EXPECT_TRUE(f.mnuOptionsPalette[0]->isChecked());
  EXPECT_FALSE(f.mnuOptionsPalette[1]->isChecked());
  EXPECT_EQ(CentrePixel(f.picSpectrum), qRgb(0, 0, 0));
  EXPECT_EQ(f.View().Palettes()[0][kSlotSelectionMarker], 0x00FFFFu);
  EXPECT_EQ(f.View().Palettes()[1][kSlotSelectionMarker], 0u);

  // Updates stopped, no modem: Stop/Go pressed but unusable.
  EXPECT_TRUE(f.Cycle().Link().StopUpdates);
  EXPECT_TRUE(f.tbMain->Pressed("StopGo"));
  EXPECT_FALSE(f.tbMain->Enabled("StopGo"));
  EXPECT_FALSE(f.tbMain->Enabled("SingleStep"));
  EXPECT_EQ(f.mnuCommStopGo->text(), "&Start Data Set Updates");
  EXPECT_EQ(ButtonImage(f, "Status"), ListImage(f.imgToolbar, kImageNotCommunicating));
  EXPECT_EQ(f.sbStatus->PanelPicture("Status").toImage().convertToFormat(QImage::Format_ARGB32),
            ListImage(f.imgToolbar, kImageNotCommunicating));

  // The recent-modem menu: disabled, with its placeholder only.
  EXPECT_FALSE(f.mnuCommRecent->menuAction()->isEnabled());
  EXPECT_TRUE(f.mnuCommSel[0]->isVisible());
  EXPECT_EQ(f.mnuCommSel[0]->text(), "<No Recent Modem Monitored>");
  for (std::size_t i = 1; i < 10; ++i) EXPECT_FALSE(f.mnuCommSel[i]->isVisible()) << i;
  EXPECT_EQ(f.Directory().ModemList().Count(), 0);
  EXPECT_EQ(f.Directory().LastModem(), "");

  // Traces: current only.
  EXPECT_TRUE(f.mnuToolsCurrentTrace->isChecked());
  EXPECT_TRUE(f.tbMain->Pressed("CurrentTrace"));
  for (const char* key : {"PeakHold", "VideoAverage", "LastTrace"}) EXPECT_FALSE(f.tbMain->Pressed(key)) << key;
  EXPECT_FALSE(f.mnuToolsPeakHold->isChecked());
  EXPECT_EQ(f.Spectrum().Traces().TraceShown, (std::array<bool, 4>{true, false, false, false}));
  EXPECT_EQ(f.Navigator().Selection().SelectedTrace, 0);

  // Cursors unplaced and hidden; move by peak points; threshold 0 dB.
  for (float c : f.CursorPair().State().CursorPos) EXPECT_FLOAT_EQ(c, -1);
  for (QLineEdit* box : f.txtCursor) EXPECT_EQ(box->text(), "");
  EXPECT_FALSE(f.mnuViewCursors->isChecked());
  EXPECT_FALSE(f.tbCursors->Pressed("CursorDelta"));
  EXPECT_FALSE(f.mnuViewZoomCursors->isEnabled());
  EXPECT_FALSE(f.tbMain->Enabled("ZoomCursors"));
  EXPECT_EQ(f.Navigator().Selection().MoveType, 1);
  EXPECT_EQ(f.comboPeakPoint->currentIndex(), 1);
  EXPECT_EQ(f.tbMain->ToolTip("FirstPoint"), "Go to Lowest Peak");
  EXPECT_EQ(f.mnuViewPeakPoint->text(), "Select &Move by All Points");
  EXPECT_EQ(f.txtThreshold->text(), "0.000dB");

  // Options and the disabled commands.
  EXPECT_TRUE(f.mnuOptionsSnap->isChecked());
  EXPECT_TRUE(f.mnuOptionsWindow->isChecked());
  EXPECT_TRUE(f.mnuOptionsPanel->isChecked());
  EXPECT_FALSE(f.mnuViewEnd->isEnabled());
  EXPECT_FALSE(f.mnuViewCurPoint->isEnabled());
  EXPECT_FALSE(f.tbMain->Enabled("CurPoint"));
  EXPECT_FALSE(f.mnuViewNextPoint->isEnabled());
  EXPECT_FALSE(f.tbMain->Enabled("NextPoint"));
  EXPECT_EQ(f.Exports().LastPath(), QDir::homePath().toStdString() + "/");
  EXPECT_EQ(f.sbStatus->PanelText("CurTrace"), "None");
  EXPECT_EQ(f.sbStatus->PanelText("CurPoint"), "None");

  // Nothing connects, nothing was asked.
  for (QTimer* t : {f.timerPoll, f.timerConnection, f.timerStatus, f.timerCoord}) EXPECT_FALSE(t->isActive());
  EXPECT_TRUE(forms::DialogSeam::Shown().empty());
  EXPECT_EQ(f.hScroll->value(), 50);
  EXPECT_EQ(f.vScroll->minimum(), -125);
  EXPECT_EQ(f.vScroll->maximum(), 125);
}

TEST_F(StartupTest, TimersHaveTheirIntervals) {
  frmMain& f = Open();
  EXPECT_EQ(f.timerPoll->interval(), 3000);
  EXPECT_EQ(f.timerConnection->interval(), 500);
  EXPECT_EQ(f.timerStatus->interval(), 5000);
  EXPECT_EQ(f.timerCoord->interval(), 5000);
  // Their periods as stated, not up to 5 % short.
  for (QTimer* t : {f.timerPoll, f.timerConnection, f.timerStatus, f.timerCoord})
    EXPECT_EQ(t->timerType(), Qt::PreciseTimer) << t->objectName().toStdString();
}

std::uint32_t ExpectedColour(std::size_t palette, int slot) {
  return 0x100000u * static_cast<std::uint32_t>(palette + 1) + 0x0101u * static_cast<std::uint32_t>(slot + 1);
}

TEST_F(StartupTest, EverySettingSurvivesCloseAndReopen) {
  // The cursors and the threshold come from a stored run.
  const std::pair<const char*, const char*> stored[] = {{"CursorDisplay", "True"}, {"Cursor1X", "7005"},
                                                        {"Cursor1Y", "20"},        {"Cursor2X", "7010.25"},
                                                        {"Cursor2Y", "32.5"},      {"PeakThreshold", "-20.5"}};
  for (const auto& [name, text] : stored) SaveRegSetting(kConfigurationKey, name, text);
  {
    frmMain& f = Open();
    f.move(150, 120);
    f.resize(796, 440);  // within the 800 x 600 screen of the offscreen platform
    // A colour of its own for every stored slot of both palettes, chosen in
    // the colour dialog.
    for (std::size_t p = 0; p < 2; ++p)
      for (std::size_t i = 0; i < kColorMenuItems.size(); ++i) {
        forms::DialogSeam::QueueColorAnswer(ExpectedColour(p, kColorMenuItems[i].slot));
        f.mnuOptionsColor[p][i]->trigger();
      }
    f.mnuOptionsPalette[1]->trigger();
    f.Exports().SetLastPath("/srv/exports/");
    f.mnuOptionsSnap->trigger();
    f.mnuOptionsWindow->trigger();
    f.Cycle().ApplyStopUpdates(false);
    f.mnuOptionsPanel->trigger();
    f.comboPeakPoint->setCurrentIndex(0);
    f.mnuToolsCurrentTrace->trigger();
    f.mnuToolsPeakHold->trigger();
    f.mnuToolsVideoAverage->trigger();
    f.mnuToolsLastTrace->trigger();
    Close();
  }
  const std::string hive = registry.HiveText();
  EXPECT_NE(hive.find("\"WindowWidth\"=\"11940\""), std::string::npos) << hive;
  EXPECT_NE(hive.find("\"CurrentTrace\"=\"False\""), std::string::npos);

  frmMain& f = Open();
  EXPECT_EQ(f.pos(), QPoint(150, 120));
  EXPECT_EQ(f.size(), QSize(796, 440));
  for (std::size_t p = 0; p < 2; ++p)
    for (const StoredColor& c : kStoredColors)
      EXPECT_EQ(f.View().Palettes()[p][static_cast<std::size_t>(c.slot)], ExpectedColour(p, c.slot)) << c.valueName;
  // Running updates were stored, but with no modem nothing can run.
  EXPECT_TRUE(f.Cycle().Link().StopUpdates);
  EXPECT_EQ(f.mnuCommStopGo->text(), "&Start Data Set Updates");
  EXPECT_EQ(f.View().Palettes()[0][kSlotSelectionMarker], 0x00FFFFu);  // not stored, set again
  EXPECT_EQ(f.View().CurrentPalette(), 1);
  EXPECT_TRUE(f.mnuOptionsPalette[1]->isChecked());
  EXPECT_FALSE(f.mnuOptionsPalette[0]->isChecked());
  // The printing palette's background is on the picture.
  EXPECT_EQ(CentrePixel(f.picSpectrum), forms::RgbFromColorRef(ExpectedColour(1, kSlotBackground)));
  EXPECT_EQ(f.Exports().LastPath(), "/srv/exports/");
  EXPECT_FALSE(f.mnuOptionsSnap->isChecked());
  EXPECT_FALSE(f.mnuOptionsWindow->isChecked());
  EXPECT_FALSE(f.mnuOptionsPanel->isChecked());
  EXPECT_TRUE(f.mnuViewCursors->isChecked());
  EXPECT_TRUE(f.tbCursors->Pressed("CursorDelta"));
  EXPECT_TRUE(f.mnuViewZoomCursors->isEnabled());
  EXPECT_TRUE(f.tbMain->Enabled("ZoomCursors"));
  EXPECT_EQ(f.CursorPair().State().CursorPos, (std::array<float, 4>{7005.0f, 20.0f, 7010.25f, 32.5f}));
  EXPECT_EQ(f.txtCursor[0]->text(), "700.500MHz");
  EXPECT_EQ(f.txtCursor[1]->text(), "701.025MHz");
  EXPECT_EQ(f.txtCursor[2]->text(), "0.525MHz");
  EXPECT_EQ(f.txtCursor[3]->text(), "-20.000dB");
  EXPECT_EQ(f.txtCursor[4]->text(), "-32.500dB");
  EXPECT_EQ(f.txtCursor[5]->text(), "-12.500dB");
  EXPECT_EQ(f.Navigator().Selection().MoveType, 0);
  EXPECT_EQ(f.comboPeakPoint->currentIndex(), 0);
  EXPECT_EQ(f.tbMain->ToolTip("LastPoint"), "Go to Last Point");
  EXPECT_FLOAT_EQ(f.Navigator().Selection().MinPeakThreshold, -20.5f);
  EXPECT_EQ(f.txtThreshold->text(), "-20.500dB");
  EXPECT_FALSE(f.mnuToolsCurrentTrace->isChecked());
  EXPECT_TRUE(f.mnuToolsPeakHold->isChecked());
  EXPECT_TRUE(f.mnuToolsVideoAverage->isChecked());
  EXPECT_TRUE(f.mnuToolsLastTrace->isChecked());
  EXPECT_FALSE(f.tbMain->Pressed("CurrentTrace"));
  EXPECT_TRUE(f.tbMain->Pressed("LastTrace"));
  EXPECT_EQ(f.Spectrum().Traces().TraceShown, (std::array<bool, 4>{false, true, true, true}));
  // The first shown trace in the order peak hold, video average, previous.
  EXPECT_EQ(f.Navigator().Selection().SelectedTrace, 3);
}

TEST_F(StartupTest, PeakHoldAndVideoAverageShownSelectPeakHold) {
  SaveRegSetting("Configuration", "CurrentTrace", "False");
  SaveRegSetting("Configuration", "PeakHold", "True");
  SaveRegSetting("Configuration", "VideoAverage", "True");
  frmMain& f = Open();
  EXPECT_EQ(f.Navigator().Selection().SelectedTrace, 3);
}

TEST_F(StartupTest, NoTraceShownLeavesNoSelectedTrace) {
  SaveRegSetting("Configuration", "CurrentTrace", "False");
  frmMain& f = Open();
  EXPECT_EQ(f.Navigator().Selection().SelectedTrace, -1);
}

TEST_F(StartupTest, TwelveStoredModemsWithUpdatesStopped) {
  SaveRegSetting("Halden Modems", "ModemCount", "12");
  SaveRegSetting("Halden Modems", "LastModem", "M3");
  for (int n = 1; n <= 12; ++n) {
    const std::string number = std::to_string(n);
    StoreModem(n, "M" + number, "127.0.1." + number, {2024, 1, n, 0, 0, 0});
  }
  frmMain& f = Open();
  EXPECT_EQ(f.windowTitle(), "Halden Spectrum Analyzer [Last Connected to M3] - Version 1.0.14");
  EXPECT_EQ(f.Directory().ModemList().Count(), 12);
  EXPECT_EQ(f.Directory().StoredModemCount(), 12);
  EXPECT_TRUE(f.mnuCommRecent->menuAction()->isEnabled());
  // Stored order, the first ten.
  for (std::size_t i = 0; i < 10; ++i) {
    EXPECT_TRUE(f.mnuCommSel[i]->isVisible());
    EXPECT_EQ(f.mnuCommSel[i]->text(), QStringLiteral("M%1").arg(i + 1));
  }
  EXPECT_TRUE(f.tbMain->Pressed("StopGo"));
  EXPECT_TRUE(f.tbMain->Enabled("StopGo"));
  EXPECT_EQ(f.mnuCommStopGo->text(), "&Start Data Set Updates");
  EXPECT_FALSE(f.timerConnection->isActive());
}

TEST_F(StartupTest, ARememberedModemWithUpdatesRunningConnectsAfterShowing) {
  SaveRegSetting("Halden Modems", "ModemCount", "1");
  SaveRegSetting("Halden Modems", "LastModem", "Bench");
  StoreModem(1, "Bench", "127.0.0.1", {2024, 1, 1, 0, 0, 0});
  SaveRegSetting("Configuration", "StopUpdates", "False");
  frmMain& f = Open();
  EXPECT_EQ(f.windowTitle(), "Halden Spectrum Analyzer [Connected to Bench] - Version 1.0.14");
  EXPECT_TRUE(f.isVisible());
  EXPECT_TRUE(f.timerConnection->isActive());
  EXPECT_FALSE(f.tbMain->Pressed("StopGo"));
  EXPECT_EQ(f.mnuCommStopGo->text(), "&Stop Data Set Updates");
  // The timer fires once.
  EXPECT_TRUE(testsupport::WaitUntil([&] { return !f.timerConnection->isActive(); }, std::chrono::seconds(5)));
}

TEST_F(StartupTest, AModemFromTheCommandLineStartsUpdatingAndJoinsTheRecentMenu) {
  SaveRegSetting("Halden Modems", "ModemCount", "1");
  SaveRegSetting("Halden Modems", "LastModem", "Bench");
  StoreModem(1, "Bench", "127.0.0.2", {2024, 1, 1, 0, 0, 0});
  SaveRegSetting("Configuration", "StopUpdates", "True");
  form = std::make_unique<frmMain>();
  form->SetStartModem({"127.0.0.4:2121", ""});
  ASSERT_TRUE(form->Form_Load()) << form->StartModemError();
  frmMain& f = *form;
  EXPECT_EQ(f.windowTitle(), "Halden Spectrum Analyzer [Connected to 127.0.0.4:2121] - Version 1.0.14");
  EXPECT_TRUE(f.timerConnection->isActive());
  EXPECT_FALSE(f.tbMain->Pressed("StopGo"));
  EXPECT_EQ(f.Directory().CurrentLink().Address, "127.0.0.4:2121");
  EXPECT_EQ(f.mnuCommSel[0]->text(), "127.0.0.4:2121");
  EXPECT_EQ(f.mnuCommSel[1]->text(), "Bench");

  // A name that is no stored modem and no address: the window stays hidden.
  Close();
  form = std::make_unique<frmMain>();
  form->SetStartModem({"Nowhere", ""});
  EXPECT_FALSE(form->Form_Load());
  EXPECT_FALSE(form->isVisible());
  EXPECT_NE(form->StartModemError().find("Nowhere"), std::string::npos);
}

TEST_F(StartupTest, AStoredLastModemMissingFromTheDirectoryCountsAsNone) {
  SaveRegSetting("Halden Modems", "LastModem", "Gone");
  SaveRegSetting("Configuration", "StopUpdates", "False");
  frmMain& f = Open();
  EXPECT_EQ(f.windowTitle(), "Halden Spectrum Analyzer - Version 1.0.14");
  EXPECT_EQ(f.Directory().LastModem(), "");
  EXPECT_FALSE(f.timerConnection->isActive());  // nothing connects to an empty address
}

// With no modem, whatever was stored, nothing offers to run: menu items and
// buttons agree, the updates read as stopped, and the field says where to
// begin. Once a modem is chosen with the updates stopped, the "Status"
// panel says how to start them.
TEST_F(StartupTest, WithNoModemNothingOffersToRunAndTheWayOnIsShown) {
  for (const char* stored : {"True", "False"}) {
    SaveRegSetting("Configuration", "StopUpdates", stored);
    frmMain& f = Open();
    for (const char* key : {"StopGo", "SingleStep"}) EXPECT_FALSE(f.tbMain->Enabled(key)) << stored << key;
    EXPECT_FALSE(f.mnuCommStopGo->isEnabled()) << stored;
    EXPECT_FALSE(f.mnuCommSingleStep->isEnabled()) << stored;
    EXPECT_EQ(f.mnuCommStopGo->text(), "&Start Data Set Updates") << stored;
    EXPECT_EQ(f.View().Overlay().Guidance, "No modem yet: Communications > Add Halden Modem") << stored;
    EXPECT_EQ(f.sbStatus->PanelText("Status"), "") << stored;
    Close();
  }
  SaveRegSetting("Halden Modems", "ModemCount", "1");
  SaveRegSetting("Halden Modems", "LastModem", "Bench");
  StoreModem(1, "Bench", "127.0.0.1", {2024, 1, 1, 0, 0, 0});
  SaveRegSetting("Configuration", "StopUpdates", "True");
  frmMain& f = Open();
  EXPECT_TRUE(f.mnuCommStopGo->isEnabled());
  EXPECT_TRUE(f.mnuCommSingleStep->isEnabled());
  EXPECT_EQ(f.View().Overlay().Guidance, "");
  EXPECT_TRUE(f.sbStatus->PanelText("Status").contains("Start Data Set Updates"));
}

TEST_F(StartupTest, AStoredPlacementIsHeldToTheScreen) {
  // Far larger than any screen, and far off it.
  for (const auto& [name, twips] : {std::pair{"WindowLeft", "900000"}, std::pair{"WindowTop", "900000"},
                                    std::pair{"WindowWidth", "90000"}, std::pair{"WindowHeight", "90000"}})
    SaveRegSetting("WindowState", name, twips);
  frmMain& f = Open();
  EXPECT_EQ(f.pos(), f.screen()->availableGeometry().topLeft());
  EXPECT_EQ(f.size(), f.screen()->availableGeometry().size());
}

TEST_F(StartupTest, ModemNamesShowInTheMenuAsWritten) {
  SaveRegSetting("Halden Modems", "ModemCount", "1");
  StoreModem(1, "R&D Lab", "127.0.1.1", {2024, 1, 1, 0, 0, 0});
  frmMain& f = Open();
  EXPECT_EQ(f.mnuCommSel[0]->text(), "R&&D Lab");
  EXPECT_EQ(f.mnuCommSel[0]->data().toString(), "R&D Lab");
}

TEST_F(StartupTest, ClosingMaximisedKeepsTheNormalPlacement) {
  SaveRegSetting("WindowState", "WindowLeft", "150");
  SaveRegSetting("WindowState", "WindowTop", "300");
  SaveRegSetting("WindowState", "WindowWidth", "12000");
  SaveRegSetting("WindowState", "WindowHeight", "6000");
  frmMain& f = Open();
  f.showMaximized();
  ASSERT_TRUE(testsupport::WaitUntil([&] { return f.isMaximized(); }));
  EXPECT_EQ(f.Layout().SavedWindowState(), 2);
  Close();
  EXPECT_EQ(GetRegSetting("WindowState", "WindowState", ""), "2");
  EXPECT_EQ(GetRegSetting("WindowState", "WindowLeft", ""), "150");
  EXPECT_EQ(GetRegSetting("WindowState", "WindowWidth", ""), "12000");
}

TEST_F(StartupTest, TheDirectoryIsSavedOnExit) {
  SaveRegSetting("Halden Modems", "ModemCount", "1");
  SaveRegSetting("Halden Modems", "LastModem", "Hub");
  StoreModem(1, "Hub", "127.9.9.9", {2025, 2, 3, 4, 5, 6});
  frmMain& f = Open();
  ASSERT_EQ(f.Directory().LastModem(), "Hub");
  // What the window holds is written back, whatever the file says now.
  DeleteRegKey("Halden Modems", "Modem1");
  DeleteRegValue("Halden Modems", "ModemCount");
  DeleteRegValue("Halden Modems", "LastModem");
  ASSERT_EQ(GetRegSetting("Halden Modems", "ModemCount", ""), "");
  f.mnuFileExit->trigger();
  EXPECT_FALSE(f.isVisible());
  EXPECT_EQ(GetRegSetting("Halden Modems", "ModemCount", ""), "1");
  EXPECT_EQ(GetRegSetting("Halden Modems", "LastModem", ""), "Hub");
  EXPECT_EQ(GetRegSetting("Halden Modems\\Modem1", "IP_Address", ""), "127.9.9.9");
  EXPECT_TRUE(
      SameDate(DateFromText(GetRegSetting("Halden Modems\\Modem1", "LastCommunication", "")), {2025, 2, 3, 4, 5, 6}));
}

TEST_F(StartupTest, AboutBoxShowsTitleVersionAndCloses) {
  frmMain& f = Open();
  f.mnuHelpAbout->trigger();
  auto* about = f.findChild<frmAbout*>();
  ASSERT_NE(about, nullptr);
  EXPECT_TRUE(about->isVisible());
  EXPECT_EQ(about->windowTitle(), "About Halden Spectrum Analyzer");
  EXPECT_EQ(about->lblTitle->text(), "Halden Spectrum Analyzer");
  EXPECT_EQ(about->lblVersion->text(), "Version 1.0.14");
  EXPECT_TRUE(about->lblDescription->text().contains("800 x 600"));
  EXPECT_TRUE(about->lblDisclaimer->text().contains("warranty"));
  EXPECT_EQ(about->cmdOK->text(), "Close");
  EXPECT_TRUE(about->cmdOK->isDefault());
  QTest::mouseClick(about->cmdOK, Qt::LeftButton);
  EXPECT_TRUE(testsupport::WaitUntil([&] { return f.findChild<frmAbout*>() == nullptr; }));
}

}  // namespace
}  // namespace specterm
