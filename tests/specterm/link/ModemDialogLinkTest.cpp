// The modem dialogs beside a running capture cycle: "Connected" for the
// linked modem, a cycle that keeps its modem while a dialog has the current
// modem emptied, a new modem from the next cycle on, and no cycle once the
// last modem is removed.

#include "CaptureTestSupport.h"
#include "forms/EntryBox.h"
#include "modems/frmModem.h"
#include "modems/frmModemSelect.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace specterm {
namespace {

using testsupport::WaitUntil;

class ModemDialogLinkTest : public testing::CaptureFixture {};

TEST_F(ModemDialogLinkTest, ACycleKeepsItsModemWhileADialogIsOpen) {
  StartSim();
  frmMain& f = OpenOnSim(/*stopUpdates=*/false);
  ASSERT_TRUE(WaitUntil([&] { return f.Cycle().DataSets() >= 1; }));
  QString status;
  forms::DialogSeam::QueueForm([](QDialog& d) { static_cast<frmModemSelect&>(d).cmdProps->click(); });
  forms::DialogSeam::QueueForm([&](QDialog& d) { status = static_cast<frmModem&>(d).txtStatus->text(); });
  f.mnuCommManage->trigger();
  EXPECT_EQ(status, "Connected");

  // No current modem while a new one is added, yet the data sets go on.
  forms::DialogSeam::ClearShown();
  forms::DialogSeam::QueueForm([&](QDialog& d) {
    EXPECT_EQ(f.Directory().LastModem(), "");
    const int before = f.Cycle().DataSets();
    EXPECT_TRUE(WaitUntil([&] { return f.Cycle().DataSets() >= before + 2; }));
    auto& form = static_cast<frmModem&>(d);
    form.txtModemName->setText("Other");
    form.txtIPA->setText("127.0.0.1:1");  // nobody listens there
    form.cmdOK->click();
  });
  f.mnuCommAdd->trigger();
  EXPECT_EQ(forms::DialogSeam::Shown().size(), 1u);  // the form: no failed connection
  ASSERT_TRUE(WaitUntil([&] { return f.Cycle().Link().StopUpdates; }));
  EXPECT_EQ(forms::DialogSeam::Shown().back().text,
            "A connection to the Halden modem [Other] at IP address 127.0.0.1:1 could not be established!");
}

TEST_F(ModemDialogLinkTest, RemovingEveryModemStopsTheUpdates) {
  StartSim();
  frmMain& f = OpenOnSim(/*stopUpdates=*/false);
  ASSERT_TRUE(WaitUntil([&] { return f.Cycle().DataSets() >= 1; }));
  forms::DialogSeam::ClearShown();
  forms::DialogSeam::QueueForm([](QDialog& d) {
    static_cast<frmModemSelect&>(d).cmdRemove->click();
    static_cast<frmModemSelect&>(d).cmdOK->click();
  });
  f.mnuCommManage->trigger();
  ASSERT_TRUE(WaitUntil([&] { return f.Cycle().Link().StopUpdates && !f.Cycle().CycleRunning(); }));
  EXPECT_FALSE(f.timerPoll->isActive());
  EXPECT_EQ(forms::DialogSeam::Shown().size(), 2u);  // the form and the question: no connection to nothing
}

}  // namespace
}  // namespace specterm
