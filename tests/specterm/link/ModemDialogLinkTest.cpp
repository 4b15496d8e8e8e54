// The modem dialogs beside a running capture cycle: the properties dialog
// says "Connected" for the modem whose link is up, a cycle keeps its modem
// while a dialog has the current modem emptied, and a modem added meanwhile
// is used from the next cycle on.

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

  // The linked modem's properties.
  QString status;
  forms::DialogSeam::QueueForm([](QDialog& d) {
    auto& manager = static_cast<frmModemSelect&>(d);
    manager.cmdProps->click();
    manager.cmdCancel->click();
  });
  forms::DialogSeam::QueueForm([&](QDialog& d) {
    status = static_cast<frmModem&>(d).txtStatus->text();
    d.reject();
  });
  f.mnuCommManage->trigger();
  EXPECT_EQ(status, "Connected");

  // While a new modem is being added there is no current modem, yet the
  // data sets keep coming from the simulator.
  forms::DialogSeam::ClearShown();
  forms::DialogSeam::QueueForm([&](QDialog& d) {
    EXPECT_EQ(f.Directory().LastModem(), "");
    const int before = f.Cycle().DataSets();
    EXPECT_TRUE(WaitUntil([&] { return f.Cycle().DataSets() >= before + 2; }));
    EXPECT_EQ(f.Cycle().Modem().Name, "Simulator");
    auto& form = static_cast<frmModem&>(d);
    form.txtModemName->setText("Other");
    // A port nobody listens on.
    form.txtIPA->setText("127.0.0.1:1");
    form.cmdOK->click();
  });
  f.mnuCommAdd->trigger();
  EXPECT_EQ(forms::DialogSeam::Shown().size(), 1u);  // the form only: no failed connection

  // The next cycle connects to the new modem, which does not answer.
  ASSERT_TRUE(WaitUntil([&] { return f.Cycle().Link().StopUpdates; }));
  EXPECT_EQ(f.Cycle().Modem().Name, "Other");
  const auto shown = forms::DialogSeam::Shown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[1].text,
            "A connection to the Halden modem [Other] at IP address 127.0.0.1:1 could not be "
            "established!");
}

TEST_F(ModemDialogLinkTest, RemovingEveryModemStopsTheUpdates) {
  StartSim();
  frmMain& f = OpenOnSim(/*stopUpdates=*/false);
  ASSERT_TRUE(WaitUntil([&] { return f.Cycle().DataSets() >= 1; }));
  forms::DialogSeam::ClearShown();
  forms::DialogSeam::QueueForm([](QDialog& d) {
    auto& manager = static_cast<frmModemSelect&>(d);
    manager.cmdRemove->click();
    manager.cmdOK->click();
  });
  f.mnuCommManage->trigger();
  ASSERT_TRUE(WaitUntil([&] { return f.Cycle().Link().StopUpdates && !f.Cycle().CycleRunning(); }));
  // No cycle follows.
  EXPECT_FALSE(f.timerPoll->isActive());
  // Only the removal was asked: no connection to nothing was tried.
  EXPECT_EQ(forms::DialogSeam::Shown().size(), 2u);
}

}  // namespace
}  // namespace specterm
