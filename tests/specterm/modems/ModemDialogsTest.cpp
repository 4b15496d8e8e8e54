// The modem dialogs through the Communications menu: adding, the checks of
// the properties dialog, overwriting in another letter case, renaming,
// removing with renumbering, the manager's Add cancelled and the recent
// menu; each directory is read back from the registry once the window has
// closed.

#include "FormFixture.h"
#include "RefusedAddresses.h"
#include "forms/EntryBox.h"
#include "forms/KeyedToolBar.h"
#include "modems/DateText.h"
#include "modems/ModemStore.h"
#include "modems/RegSettings.h"
#include "modems/frmModem.h"
#include "modems/frmModemSelect.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <functional>

namespace specterm {
namespace {

using Strings = std::vector<std::string>;

class ModemDialogsTest : public testing::FormTest {
 protected:
  // Stored modems, the first the oldest, before the window opens.
  static void Store(const std::vector<std::pair<std::string, std::string>>& modems, const std::string& lastModem) {
    for (std::size_t i = 0; i < modems.size(); ++i) {
      const std::string key = "Halden Modems\\Modem" + std::to_string(i + 1);
      SaveRegSetting(key, "ModemName", modems[i].first);
      SaveRegSetting(key, "IP_Address", modems[i].second);
      SaveRegSetting(key, "LastCommunication", DateToText({2020 + static_cast<int>(i), 6, 1, 12, 0, 0}));
    }
    SaveRegSetting("Halden Modems", "ModemCount", std::to_string(modems.size()));
    SaveRegSetting("Halden Modems", "LastModem", lastModem);
  }
  // The properties dialog filled and confirmed; the manager driven.
  static void QueueFill(const QString& name, const QString& address, bool* stayedOpen = nullptr) {
    forms::DialogSeam::QueueForm([=](QDialog& d) {
      auto& form = static_cast<frmModem&>(d);
      form.txtModemName->setText(name);
      form.txtIPA->setText(address);
      form.cmdOK->click();
      if (stayedOpen != nullptr) *stayedOpen = d.isVisible();
    });
  }
  static void QueueManage(std::function<void(frmModemSelect&)> act) {
    forms::DialogSeam::QueueForm([act](QDialog& d) { act(static_cast<frmModemSelect&>(d)); });
  }
  // "name@address#index" of each stored modem, and the stored LastModem,
  // once the window has closed.
  Strings CloseAndRead() {
    Close();
    Modems modems;
    ModemDirectoryHeader header;
    LoadModemDirectory(modems, header);
    Strings stored{header.LastModem};
    for (const auto& m : modems) stored.push_back(m->Name + "@" + m->IP_Address + "#" + std::to_string(m->Index));
    return stored;
  }
  static QStringList Recent(const frmMain& f) {
    QStringList captions;
    for (QAction* item : f.mnuCommSel)
      if (item->isVisible()) captions << item->text();
    return captions;
  }
  static QString LastShown() { return forms::DialogSeam::Shown().back().text; }
};

TEST_F(ModemDialogsTest, AddingChecksTheBoxesAndMakesTheModemCurrent) {
  frmMain& f = Open();
  const std::tuple<const char*, const char*, const char*> refused[] = {
      {" ", "127.0.1.5", "You cannot add a modem without a name!"},
      {"A", "", "You cannot add a modem without an IP address!"},
      {"A", "127.0.5", "There are an incorrect amount of address sections for this IP address!"},
      {"A", testsupport::refused::kThirdSectionOutOfRange,
       "One or more address sections for this IP address are out of range!"},
  };
  for (const auto& [name, address, message] : refused) {
    bool stayedOpen = false;
    QueueFill(name, address, &stayedOpen);
    f.mnuCommAdd->trigger();
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(LastShown(), message);
  }
  EXPECT_FALSE(f.tbMain->Enabled("StopGo"));
  // The address box takes address keys only, and keeps the focus while
  // its address is invalid.
  forms::DialogSeam::QueueForm([](QDialog& d) {
    auto& form = static_cast<frmModem&>(d);
    EXPECT_EQ(form.txtStatus->text(), "Not Connected");
    d.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    form.txtIPA->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(form.txtIPA, QString(testsupport::refused::kThirdSectionOutOfRange) + "x:");
    QTest::keyClick(form.txtIPA, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), form.txtIPA);
    EXPECT_EQ(forms::DialogSeam::Shown().back().title, "Invalid IP Address");
    form.txtModemName->setText("Bench A");
    form.txtIPA->setText("127.0.1.5");
    form.cmdOK->click();
  });
  f.mnuCommAdd->trigger();
  EXPECT_EQ(f.windowTitle(), "Halden Spectrum Analyzer [Connected to Bench A] - Version 1.0.14");
  EXPECT_TRUE(f.tbMain->Enabled("StopGo"));
  EXPECT_TRUE(f.mnuCommRecent->menuAction()->isEnabled());
  EXPECT_EQ(Recent(f), QStringList{"Bench A"});
  EXPECT_EQ(CloseAndRead(), (Strings{"Bench A", "Bench A@127.0.1.5#1"}));
}

TEST_F(ModemDialogsTest, TheAddressBoxKeepsAddressCharactersAndHasItsEditingKeys) {
  frmMain& f = Open();
  forms::DialogSeam::QueueForm([](QDialog& d) {
    auto& form = static_cast<frmModem&>(d);
    d.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    form.txtModemName->setText("Bench");
    form.txtIPA->setFocus(Qt::TabFocusReason);
    form.txtIPA->setText("127.0.0.1");
    QTest::keyClicks(form.txtIPA, "5");
    QTest::keyClick(form.txtIPA, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form.txtIPA->text(), "127.0.0.1");
    QTest::keyClick(form.txtIPA, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(form.txtIPA, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(form.txtIPA, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(form.txtIPA->text(), "");
    EXPECT_EQ(QApplication::clipboard()->text(), "127.0.0.1");
    QTest::keyClick(form.txtIPA, Qt::Key_V, Qt::ControlModifier);
    // Neither a character that no key code names nor pasted letters get in.
    QTest::sendKeyEvent(QTest::Click, form.txtIPA, static_cast<Qt::Key>(0x20AC), QStringLiteral("\u20AC"),
                        Qt::NoModifier);
    QApplication::clipboard()->setText(QStringLiteral("2x\u20AC"));
    QTest::keyClick(form.txtIPA, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(form.txtIPA->text(), "127.0.0.12");
    form.cmdOK->click();
  });
  f.mnuCommAdd->trigger();
  EXPECT_EQ(f.Directory().Address(), "127.0.0.12");
}

TEST_F(ModemDialogsTest, ANameInAnotherLetterCaseAsksToOverwrite) {
  Store({{"Bench A", "127.0.1.5"}, {"Bench B", "127.0.1.6"}}, "Bench B");
  frmMain& f = Open();
  bool stayedOpen = false;
  forms::DialogSeam::QueueMsgBoxAnswer(forms::vbCancel);
  QueueFill("bench a", "127.0.1.9", &stayedOpen);
  f.mnuCommAdd->trigger();
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(f.Directory().ModemList().Item(1)->IP_Address, "127.0.1.5");
  QueueFill("bench a", "127.0.1.9");
  f.mnuCommAdd->trigger();
  EXPECT_EQ(LastShown(), "A modem already exists with this name!  Is it okay to overwrite the previous modem?");
  EXPECT_EQ(forms::DialogSeam::Shown().back().style, forms::vbOKCancel | forms::vbExclamation);
  EXPECT_EQ(CloseAndRead(), (Strings{"bench a", "bench a@127.0.1.9#1", "Bench B@127.0.1.6#2"}));
}

TEST_F(ModemDialogsTest, TheManagersAddKeepsTheCurrentModemAndPropertiesRenameInPlace) {
  Store({{"Bench A", "127.0.1.5"}, {"Bench B", "127.0.1.6"}}, "Bench B");
  frmMain& f = Open();
  QueueManage([&](frmModemSelect& s) {
    EXPECT_EQ(s.listModems->currentRow(), 1);
    s.cmdAdd->click();  // cancelled
    s.mnuEditAdd->trigger();
    EXPECT_EQ(f.Directory().LastModem(), "Bench B");
    s.listModems->setCurrentRow(1);
    s.cmdProps->click();
    EXPECT_EQ(s.listModems->item(1)->text(), "Bench C");
    s.cmdOK->click();
  });
  forms::DialogSeam::QueueForm([](QDialog& d) { static_cast<frmModem&>(d).cmdCancel->click(); });
  QueueFill("Bench D", "127.0.1.8");
  forms::DialogSeam::QueueForm([](QDialog& d) {
    auto& form = static_cast<frmModem&>(d);
    EXPECT_EQ(form.txtIPA->text(), "127.0.1.6");
    EXPECT_EQ(form.txtLastComm->text(), QString::fromStdString(DateToText({2021, 6, 1, 12, 0, 0})));
    form.txtModemName->setText("Bench C");
    form.txtIPA->setText("127.0.1.7");
    form.cmdOK->click();
  });
  f.mnuCommManage->trigger();
  // Renamed with its index and its history.
  EXPECT_EQ(f.windowTitle(), "Halden Spectrum Analyzer [Connected to Bench C] - Version 1.0.14");
  EXPECT_EQ(f.Directory().ModemList().Item(2)->LastComm.year, 2021);
  EXPECT_EQ(CloseAndRead(), (Strings{"Bench C", "Bench A@127.0.1.5#1", "Bench C@127.0.1.7#2", "Bench D@127.0.1.8#3"}));
}

TEST_F(ModemDialogsTest, RenamingOntoAnotherModemsNameLeavesOneRecordWithTheTypedAddress) {
  Store({{"Alpha", "127.0.0.1"}, {"Bravo", "127.0.0.2"}, {"Charlie", "127.0.0.3"}}, "Charlie");
  frmMain& f = Open();
  forms::DialogSeam::QueueMsgBoxAnswer(forms::vbOK);
  QueueManage([](frmModemSelect& s) {
    s.listModems->setCurrentRow(2);
    s.cmdProps->click();
    EXPECT_EQ(s.listModems->count(), 2);
    EXPECT_EQ(s.listModems->currentItem()->text(), "ALPHA");
    s.cmdOK->click();
  });
  forms::DialogSeam::QueueForm([](QDialog& d) {
    auto& form = static_cast<frmModem&>(d);
    form.txtModemName->setText("ALPHA");
    form.cmdOK->click();
  });
  f.mnuCommManage->trigger();
  EXPECT_EQ(forms::DialogSeam::Shown().back().title, "OK to Overwrite");
  EXPECT_EQ(f.Directory().LastModem(), "ALPHA");
  EXPECT_EQ(Recent(f), (QStringList{"ALPHA", "Bravo"}));
  EXPECT_EQ(CloseAndRead(), (Strings{"ALPHA", "ALPHA@127.0.0.3#1", "Bravo@127.0.0.2#2"}));
}

TEST_F(ModemDialogsTest, RemovingRenumbersAndTheLastRemovalEmptiesTheMenu) {
  Store({{"A", "127.0.1.1"}, {"B", "127.0.1.2"}, {"C", "127.0.1.3"}}, "B");
  frmMain& f = Open();
  forms::DialogSeam::QueueMsgBoxAnswer(forms::vbNo);
  QueueManage([](frmModemSelect& s) {
    s.cmdRemove->click();  // No
    s.cmdRemove->click();  // Yes
    EXPECT_EQ(LastShown(), "Are you sure you wish to remove B?");
    EXPECT_EQ(s.listModems->count(), 2);
    EXPECT_EQ(s.listModems->currentRow(), 0);  // the entry before
    s.cmdCancel->click();
  });
  f.mnuCommManage->trigger();
  // The current modem was removed: the first takes its place.
  EXPECT_EQ(f.windowTitle(), "Halden Spectrum Analyzer [Connected to A] - Version 1.0.14");
  EXPECT_EQ(CloseAndRead(), (Strings{"A", "A@127.0.1.1#1", "C@127.0.1.3#2"}));
  EXPECT_EQ(registry.HiveText().find("Modem3]"), std::string::npos);

  frmMain& g = Open();
  QueueManage([](frmModemSelect& s) {
    s.listModems->setCurrentRow(0);
    s.cmdRemove->click();
    EXPECT_EQ(s.listModems->currentRow(), 0);  // the first removed: the new first
    s.mnuEditRemove->trigger();
    s.cmdOK->click();
  });
  g.mnuCommManage->trigger();
  EXPECT_EQ(g.windowTitle(), "Halden Spectrum Analyzer - Version 1.0.14");
  EXPECT_FALSE(g.tbMain->Enabled("StopGo"));
  EXPECT_FALSE(g.mnuCommRecent->menuAction()->isEnabled());
  EXPECT_EQ(Recent(g), QStringList{"<No Recent Modem Monitored>"});
  EXPECT_EQ(CloseAndRead(), Strings{""});
}

TEST_F(ModemDialogsTest, SelectingARecentModemPutsItOnTop) {
  Store({{"R&D Lab", "127.0.1.1"}, {"B", "127.0.1.2"}, {"C", "127.0.1.3"}}, "C");
  frmMain& f = Open();
  EXPECT_EQ(Recent(f), (QStringList{"R&&D Lab", "B", "C"}));  // stored order at start-up
  f.mnuCommSel[0]->trigger();
  EXPECT_EQ(f.windowTitle(), "Halden Spectrum Analyzer [Connected to R&D Lab] - Version 1.0.14");
  EXPECT_EQ(Recent(f), (QStringList{"R&&D Lab", "C", "B"}));
  EXPECT_EQ(f.mnuCommSel[0]->data().toString(), "R&D Lab");
  EXPECT_EQ(CloseAndRead().front(), "R&D Lab");
}

}  // namespace
}  // namespace specterm
