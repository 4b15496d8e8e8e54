// The modem dialogs through the Communications menu: adding, the checks of
// the properties dialog, overwriting a name in another letter case,
// renaming, removing with renumbering, the manager's Add cancelled, and the
// recent-modem menu; each directory is read back from the registry after
// the window has closed.

#include "FormFixture.h"
#include "forms/EntryBox.h"
#include "forms/KeyedToolBar.h"
#include "modems/DateText.h"
#include "modems/ModemStore.h"
#include "modems/RegSettings.h"
#include "modems/frmModem.h"
#include "modems/frmModemSelect.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <functional>

namespace specterm {
namespace {

using Dialog = forms::ShownDialog;

class ModemDialogsTest : public testing::FormTest {
 protected:
  // Stored modems, oldest communication first, before the window opens.
  void Store(const std::vector<std::pair<std::string, std::string>>& modems, const std::string& lastModem) {
    for (std::size_t i = 0; i < modems.size(); ++i) {
      const std::string key = "Halden Modems\\Modem" + std::to_string(i + 1);
      SaveRegSetting(key, "ModemName", modems[i].first);
      SaveRegSetting(key, "IP_Address", modems[i].second);
      SaveRegSetting(key, "LastCommunication", DateToText(Date(2020 + static_cast<int>(i))));
    }
    SaveRegSetting("Halden Modems", "ModemCount", std::to_string(modems.size()));
    SaveRegSetting("Halden Modems", "LastModem", lastModem);
  }
  static vb::DateTime Date(int year) { return {year, 6, 1, 12, 0, 0}; }
  // The properties dialog, filled and confirmed.
  static std::function<void(QDialog&)> Fill(const QString& name, const QString& address) {
    return [name, address](QDialog& d) {
      auto& form = static_cast<frmModem&>(d);
      form.txtModemName->setText(name);
      form.txtIPA->setText(address);
      form.cmdOK->click();
    };
  }
  static std::function<void(QDialog&)> Manage(std::function<void(frmModemSelect&)> act) {
    return [act](QDialog& d) { act(static_cast<frmModemSelect&>(d)); };
  }
  // The directory as the registry holds it once the window has closed.
  struct Stored {
    Modems modems;
    ModemDirectoryHeader header;
  };
  Stored CloseAndRead() {
    Close();
    Stored stored;
    LoadModemDirectory(stored.modems, stored.header);
    return stored;
  }
  static std::vector<std::string> Names(const Modems& modems) {
    std::vector<std::string> names;
    for (const auto& m : modems) names.push_back(m->Name + "@" + m->IP_Address + "#" + std::to_string(m->Index));
    return names;
  }
  static QStringList Recent(const frmMain& f) {
    QStringList captions;
    for (QAction* item : f.mnuCommSel)
      if (item->isVisible()) captions << item->text();
    return captions;
  }
  static QStringList ListRows(const frmModemSelect& s) {
    QStringList rows;
    for (int i = 0; i < s.listModems->count(); ++i) rows << s.listModems->item(i)->text();
    return rows;
  }
};

TEST_F(ModemDialogsTest, AddingTheFirstModemMakesItCurrent) {
  frmMain& f = Open();
  ASSERT_FALSE(f.tbMain->Enabled("StopGo"));
  forms::DialogSeam::QueueForm([](QDialog& d) {
    auto& form = static_cast<frmModem&>(d);
    EXPECT_EQ(form.windowTitle(), "Halden Modem Properties");
    EXPECT_EQ(form.ModemName(), kNewModemName);
    EXPECT_EQ(form.txtStatus->text(), "Not Connected");
    EXPECT_EQ(form.txtLastComm->text(), "");
    form.txtModemName->setText("Bench A");
    form.txtIPA->setText("10.0.0.5");
    form.cmdOK->click();
  });
  f.mnuCommAdd->trigger();
  EXPECT_EQ(f.Directory().LastModem(), "Bench A");
  EXPECT_EQ(f.windowTitle(), "Halden Spectrum Analyzer [Connected to Bench A] - Version 1.0.14");
  EXPECT_TRUE(f.tbMain->Enabled("StopGo"));
  EXPECT_TRUE(f.mnuCommRecent->menuAction()->isEnabled());
  EXPECT_EQ(Recent(f), QStringList{"Bench A"});

  const Stored stored = CloseAndRead();
  EXPECT_EQ(stored.header.LastModem, "Bench A");
  EXPECT_EQ(Names(stored.modems), std::vector<std::string>{"Bench A@10.0.0.5#1"});
}

TEST_F(ModemDialogsTest, OkRefusesWhatIsMissingOrInvalid) {
  frmMain& f = Open();
  struct Case {
    const char* name;
    const char* address;
    const char* message;
    const char* title;
  };
  const Case cases[] = {
      {"", "10.0.0.5", "You cannot add a modem without a name!", "Unnamed Modem"},
      {"   ", "10.0.0.5", "You cannot add a modem without a name!", "Unnamed Modem"},
      {"A", "", "You cannot add a modem without an IP address!", "Missing IP Address"},
      {"A", "10.0.5", "There are an incorrect amount of address sections for this IP address!", "Invalid IP Address"},
      {"A", "10.0.300.5", "One or more address sections for this IP address are out of range!", "Invalid IP Address"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name + std::string("/") + c.address);
    forms::DialogSeam::ClearShown();
    bool stayedOpen = false;
    forms::DialogSeam::QueueForm([&](QDialog& d) {
      Fill(c.name, c.address)(d);
      stayedOpen = d.isVisible();
    });
    f.mnuCommAdd->trigger();
    EXPECT_TRUE(stayedOpen);
    const auto shown = forms::DialogSeam::Shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].text, c.message);
    EXPECT_EQ(shown[1].title, c.title);
    EXPECT_EQ(shown[1].style, forms::vbExclamation);
  }
  // Nothing was added.
  EXPECT_EQ(f.Directory().ModemList().Count(), 0);
  EXPECT_FALSE(f.tbMain->Enabled("StopGo"));
  EXPECT_FALSE(f.tbMain->Enabled("SingleStep"));
}

TEST_F(ModemDialogsTest, TheAddressBoxTakesOnlyAddressKeysAndKeepsTheFocusWhenInvalid) {
  frmMain& f = Open();
  forms::DialogSeam::QueueForm([](QDialog& d) {
    auto& form = static_cast<frmModem&>(d);
    d.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    form.txtIPA->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(form.txtIPA, "127.0.0.1x:2121:");
    EXPECT_EQ(form.txtIPA->text(), "127.0.0.1:2121");
    form.txtIPA->setText("127.0.0.256");
    forms::DialogSeam::ClearShown();
    QTest::keyClick(form.txtIPA, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), form.txtIPA);
    ASSERT_EQ(forms::DialogSeam::Shown().size(), 1u);
    EXPECT_EQ(forms::DialogSeam::Shown()[0].title, "Invalid IP Address");
    // Cancel needs no valid address.
    form.cmdCancel->click();
  });
  f.mnuCommAdd->trigger();
  EXPECT_EQ(f.Directory().ModemList().Count(), 0);
}

TEST_F(ModemDialogsTest, ANameInAnotherLetterCaseAsksToOverwrite) {
  Store({{"Bench A", "10.0.0.5"}, {"Bench B", "10.0.0.6"}}, "Bench B");
  frmMain& f = Open();
  // Cancel to the question: the dialog stays, nothing changes.
  forms::DialogSeam::QueueMsgBoxAnswer(forms::vbCancel);
  bool stayedOpen = false;
  forms::DialogSeam::QueueForm([&](QDialog& d) {
    Fill("bench a", "10.0.0.9")(d);
    stayedOpen = d.isVisible();
  });
  f.mnuCommAdd->trigger();
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(f.Directory().ModemList().Item(1)->IP_Address, "10.0.0.5");
  EXPECT_EQ(f.Directory().LastModem(), "Bench B");
  // OK: the modem takes the name as typed and the address, in its place.
  forms::DialogSeam::ClearShown();
  forms::DialogSeam::QueueForm(Fill("bench a", "10.0.0.9"));
  f.mnuCommAdd->trigger();
  const auto shown = forms::DialogSeam::Shown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[1].text, "A modem already exists with this name!  Is it okay to overwrite the previous modem?");
  EXPECT_EQ(shown[1].title, "OK to Overwrite");
  EXPECT_EQ(shown[1].style, forms::vbOKCancel | forms::vbExclamation);
  EXPECT_EQ(f.Directory().LastModem(), "bench a");

  const Stored stored = CloseAndRead();
  EXPECT_EQ(Names(stored.modems), (std::vector<std::string>{"bench a@10.0.0.9#1", "Bench B@10.0.0.6#2"}));
  EXPECT_EQ(stored.header.LastModem, "bench a");
}

TEST_F(ModemDialogsTest, PropertiesRenameTheModemInItsPlaceWithItsHistory) {
  Store({{"Bench A", "10.0.0.5"}, {"Bench B", "10.0.0.6"}}, "Bench B");
  frmMain& f = Open();
  const vb::DateTime lastComm = f.Directory().ModemList().Item(2)->LastComm;
  forms::DialogSeam::QueueForm(Manage([](frmModemSelect& s) {
    EXPECT_EQ(ListRows(s), (QStringList{"Bench A", "Bench B"}));
    EXPECT_EQ(s.listModems->currentRow(), 1);
    s.cmdProps->click();
    EXPECT_EQ(ListRows(s), (QStringList{"Bench A", "Bench C"}));
    s.cmdOK->click();
  }));
  forms::DialogSeam::QueueForm([](QDialog& d) {
    auto& form = static_cast<frmModem&>(d);
    EXPECT_EQ(form.ModemName(), "Bench B");
    EXPECT_EQ(form.txtModemName->text(), "Bench B");
    EXPECT_EQ(form.txtIPA->text(), "10.0.0.6");
    EXPECT_EQ(form.txtStatus->text(), "Not Connected");
    EXPECT_EQ(form.txtLastComm->text(), QString::fromStdString(DateToText(Date(2021))));
    Fill("Bench C", "10.0.0.7")(d);
  });
  f.mnuCommManage->trigger();
  EXPECT_EQ(f.Directory().LastModem(), "Bench C");
  EXPECT_EQ(f.windowTitle(), "Halden Spectrum Analyzer [Connected to Bench C] - Version 1.0.14");
  EXPECT_TRUE(SameDate(f.Directory().ModemList().Item(2)->LastComm, lastComm));

  const Stored stored = CloseAndRead();
  EXPECT_EQ(Names(stored.modems), (std::vector<std::string>{"Bench A@10.0.0.5#1", "Bench C@10.0.0.7#2"}));
  EXPECT_EQ(stored.header.LastModem, "Bench C");
}

TEST_F(ModemDialogsTest, RemovingRenumbersAndTheLastRemovalEmptiesTheMenu) {
  Store({{"A", "10.0.0.1"}, {"B", "10.0.0.2"}, {"C", "10.0.0.3"}}, "B");
  frmMain& f = Open();
  forms::DialogSeam::QueueMsgBoxAnswer(forms::vbNo);
  forms::DialogSeam::QueueForm(Manage([](frmModemSelect& s) {
    s.cmdRemove->click();  // No
    EXPECT_EQ(ListRows(s), (QStringList{"A", "B", "C"}));
    s.cmdRemove->click();  // Yes, the default answer
    EXPECT_EQ(forms::DialogSeam::Shown().back().text, "Are you sure you wish to remove B?");
    EXPECT_EQ(forms::DialogSeam::Shown().back().title, "OK to Remove");
    EXPECT_EQ(ListRows(s), (QStringList{"A", "C"}));
    // The entry before the removed one.
    EXPECT_EQ(s.listModems->currentRow(), 0);
    s.cmdCancel->click();
  }));
  f.mnuCommManage->trigger();
  // The current modem was removed: the first one takes its place.
  EXPECT_EQ(f.Directory().LastModem(), "A");
  EXPECT_EQ(f.windowTitle(), "Halden Spectrum Analyzer [Connected to A] - Version 1.0.14");
  EXPECT_EQ(f.Directory().ModemList().Item(2)->Index, 2);
  {
    const Stored stored = CloseAndRead();
    EXPECT_EQ(Names(stored.modems), (std::vector<std::string>{"A@10.0.0.1#1", "C@10.0.0.3#2"}));
    EXPECT_EQ(registry.HiveText().find("Modem3]"), std::string::npos);
  }

  frmMain& g = Open();
  forms::DialogSeam::QueueForm(Manage([](frmModemSelect& s) {
    s.listModems->setCurrentRow(0);
    s.cmdRemove->click();
    // The first removed: the selection moves to the new first entry.
    EXPECT_EQ(s.listModems->currentRow(), 0);
    s.mnuEditRemove->trigger();
    EXPECT_EQ(s.listModems->count(), 0);
    s.cmdOK->click();
  }));
  g.mnuCommManage->trigger();
  EXPECT_EQ(g.Directory().LastModem(), "");
  EXPECT_EQ(g.windowTitle(), "Halden Spectrum Analyzer - Version 1.0.14");
  EXPECT_FALSE(g.tbMain->Enabled("StopGo"));
  EXPECT_FALSE(g.mnuCommRecent->menuAction()->isEnabled());
  EXPECT_EQ(Recent(g), QStringList{"<No Recent Modem Monitored>"});
  const Stored stored = CloseAndRead();
  EXPECT_EQ(stored.modems.Count(), 0);
  EXPECT_EQ(stored.header.LastModem, "");
}

TEST_F(ModemDialogsTest, TheManagersAddKeepsTheCurrentModem) {
  Store({{"A", "10.0.0.1"}}, "A");
  frmMain& f = Open();
  forms::DialogSeam::QueueForm(Manage([](frmModemSelect& s) {
    s.cmdAdd->click();  // cancelled
    EXPECT_EQ(ListRows(s), QStringList{"A"});
    s.mnuEditAdd->trigger();  // added
    EXPECT_EQ(ListRows(s), (QStringList{"A", "B"}));
    s.cmdCancel->click();
  }));
  forms::DialogSeam::QueueForm([](QDialog& d) {
    static_cast<frmModem&>(d).txtModemName->setText("X");
    static_cast<frmModem&>(d).cmdCancel->click();
  });
  forms::DialogSeam::QueueForm(Fill("B", "10.0.0.2"));
  f.mnuCommManage->trigger();
  EXPECT_EQ(f.Directory().LastModem(), "A");
  EXPECT_EQ(f.Directory().ModemList().Count(), 2);

  const Stored stored = CloseAndRead();
  EXPECT_EQ(Names(stored.modems), (std::vector<std::string>{"A@10.0.0.1#1", "B@10.0.0.2#2"}));
  EXPECT_EQ(stored.header.LastModem, "A");
}

TEST_F(ModemDialogsTest, SelectingARecentModemPutsItOnTop) {
  Store({{"R&D Lab", "10.0.0.1"}, {"B", "10.0.0.2"}, {"C", "10.0.0.3"}}, "C");
  frmMain& f = Open();
  // Start-up fills the menu in stored order.
  EXPECT_EQ(Recent(f), (QStringList{"R&&D Lab", "B", "C"}));
  f.mnuCommSel[0]->trigger();
  EXPECT_EQ(f.Directory().LastModem(), "R&D Lab");
  EXPECT_EQ(f.windowTitle(), "Halden Spectrum Analyzer [Connected to R&D Lab] - Version 1.0.14");
  EXPECT_TRUE(f.tbMain->Enabled("StopGo"));
  // Newest first.
  EXPECT_EQ(Recent(f), (QStringList{"R&&D Lab", "C", "B"}));
  EXPECT_EQ(f.mnuCommSel[0]->data().toString(), "R&D Lab");
  // The manager's OK on another modem stamps it as well.
  forms::DialogSeam::QueueForm(Manage([](frmModemSelect& s) {
    s.listModems->setCurrentRow(1);
    s.cmdOK->click();
  }));
  f.mnuCommManage->trigger();
  EXPECT_EQ(f.Directory().LastModem(), "B");
  EXPECT_EQ(Recent(f).first(), "B");

  const Stored stored = CloseAndRead();
  EXPECT_EQ(stored.header.LastModem, "B");
  EXPECT_GT(stored.modems.Item(2)->LastComm.year, 2022);
}

}  // namespace
}  // namespace specterm
