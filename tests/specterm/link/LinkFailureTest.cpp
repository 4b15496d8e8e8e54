// The capture cycle when things go wrong: the read refused (the lost-link
// question and both answers), a read failing again while the loss is
// reported, a refused capture request, a dropped idle connection and
// connections refused inside a running cycle (each shown, and polling
// recovers by itself), a data set that never ends, the FFT library missing,
// Ctrl+S while a connection attempt hangs, and a slow goodbye that must not
// hold up the next connection.

#include "CaptureTestSupport.h"
#include "PyFtpServer.h"
#include "forms/KeyedStatusBar.h"
#include "forms/KeyedToolBar.h"
#include "view/Icons.h"

#include <QAction>
#include <QApplication>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <tuple>

namespace specterm {
namespace {

using forms::DialogSeam::QueueMsgBoxAnswer;
using forms::DialogSeam::Shown;
using testsupport::WaitUntil;
using namespace std::chrono_literals;

constexpr const char* kLostTitle = "Server Connection Lost";

int BoxesTitled(const char* title) {
  int n = 0;
  for (const forms::ShownDialog& d : Shown())
    n += d.kind == forms::ShownDialog::Kind::MessageBox && d.title == QLatin1String(title) ? 1 : 0;
  return n;
}

class LinkFailureTest : public testing::CaptureFixture {
 protected:
  // Polling, with a first data set drawn.
  frmMain& Running() {
    frmMain& f = OpenOnSim(/*stopUpdates=*/false);
    EXPECT_TRUE(WaitUntil([&] { return f.Cycle().DataSets() >= 1; }));
    return f;
  }
  // Read attempts: a refused file is refused at its SIZE, before any RETR.
  int Reads() const { return testing::CountText(testing::ReadLog(*sim), "> SIZE spectrum:"); }
};

TEST_F(LinkFailureTest, NoToTheLostLinkQuestionStopsUpdates) {
  StartSim();
  frmMain& f = Running();
  QueueMsgBoxAnswer(forms::vbNo);
  ASSERT_TRUE(testing::SendControl(*sim, "fault deny=spectrum: on\n"));
  ASSERT_TRUE(WaitUntil([] { return BoxesTitled(kLostTitle) == 1; }));
  ASSERT_TRUE(WaitLinkIdle());

  const forms::ShownDialog box = Shown().back();
  EXPECT_EQ(box.text,
            QString::fromStdString("The connection to the Halden modem [Simulator] at IP address " + sim->Address() +
                                   " has been lost!  Do you wish to re-establish communications?"));
  EXPECT_EQ(box.style, forms::vbYesNo | forms::vbCritical);
  EXPECT_TRUE(f.Cycle().Link().StopUpdates);
  EXPECT_FALSE(f.Cycle().Link().Connected);
  EXPECT_TRUE(f.Cycle().Link().LossReported);
  EXPECT_FALSE(f.timerPoll->isActive());
  EXPECT_TRUE(f.tbMain->Pressed("StopGo"));
  EXPECT_EQ(f.mnuCommStopGo->text(), "&Start Data Set Updates");
  EXPECT_EQ(StatusText(), "Communications have been aborted!");
  EXPECT_TRUE(f.timerStatus->isActive());
  EXPECT_TRUE(StatusImageIs(kImageNotCommunicating));
}

TEST_F(LinkFailureTest, YesToTheLostLinkQuestionAsksOnceForTheWholeOutage) {
  StartSim();
  frmMain& f = Running();
  QueueMsgBoxAnswer(forms::vbYes);
  ASSERT_TRUE(testing::SendControl(*sim, "fault deny=spectrum: on\n"));
  ASSERT_TRUE(WaitUntil([] { return BoxesTitled(kLostTitle) == 1; }));
  // The reads keep failing; each cycle reconnects without asking again.
  const int reads = Reads();
  ASSERT_TRUE(WaitUntil([&] { return Reads() >= reads + 3; }));
  EXPECT_EQ(BoxesTitled(kLostTitle), 1);
  EXPECT_FALSE(f.Cycle().Link().StopUpdates);
  // While they fail, the reconnections do not pass for a working link.
  bool green = false;
  QTimer sample;
  QObject::connect(&sample, &QTimer::timeout, [&] { green = green || StatusImageIs(kImageConnected); });
  sample.start(0);
  ASSERT_TRUE(WaitUntil([&] { return Reads() >= reads + 5; }));
  EXPECT_FALSE(green);
  EXPECT_TRUE(WaitUntil(
      [&] { return StatusText() == "The data set of the Halden modem [Simulator] cannot be read; retrying..."; }));
  sample.stop();
  ASSERT_TRUE(testing::SendControl(*sim, "fault deny=spectrum: off\n"));
  const int before = f.Cycle().DataSets();
  ASSERT_TRUE(WaitUntil([&] { return f.Cycle().DataSets() >= before + 2; }));
  EXPECT_FALSE(f.Cycle().Link().LossReported);
}

TEST_F(LinkFailureTest, ReadFailingAgainWhileTheLossIsReportedReconnectsWithoutAsking) {
  StartSim();
  frmMain& f = Running();
  QueueMsgBoxAnswer(forms::vbNo);
  ASSERT_TRUE(testing::SendControl(*sim, "fault deny=spectrum: on\n"));
  ASSERT_TRUE(WaitUntil([] { return BoxesTitled(kLostTitle) == 1; }));
  ASSERT_TRUE(WaitLinkIdle());
  ASSERT_TRUE(f.Cycle().Link().LossReported);
  const int readsBefore = Reads();

  // Go: the next refused read reconnects without a question and clears the
  // loss; the one after that asks again (No stops it here).
  QueueMsgBoxAnswer(forms::vbNo);
  f.tbMain->ClickButton("StopGo");
  ASSERT_TRUE(WaitUntil([] { return BoxesTitled(kLostTitle) == 2; }));
  ASSERT_TRUE(WaitLinkIdle());
  EXPECT_EQ(Reads(), readsBefore + 2);
  EXPECT_TRUE(f.Cycle().Link().StopUpdates);
  EXPECT_FALSE(f.timerPoll->isActive());
  // No other box was shown: the reconnection succeeded.
  EXPECT_EQ(Shown().size(), 2u);
}

TEST_F(LinkFailureTest, CycleFailuresAreShownAndPollingRecoversByItself) {
  const char* capture = "The capture request to the Halden modem [Simulator] failed; retrying...";
  // Fault, what lifts it (nothing when it is used up), what the window says.
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"fault deny=capt_spec: on\n", "fault deny=capt_spec: off\n", capture},
      {"fault drop-connections=1 on\n", "", capture},  // the idle connection dropped
      // The request goes out on the idle connection, the connections after it are refused.
      {"fault refuse-connections=4 on\n", "", "The Halden modem [Simulator] cannot be reached; retrying..."},
  };
  for (const auto& c : cases) {
    const char* fault = std::get<0>(c);
    const char* lift = std::get<1>(c);
    const QString text = QString::fromLatin1(std::get<2>(c));
    StartSim();
    frmMain& f = OpenOnSim(/*stopUpdates=*/false);
    ASSERT_TRUE(WaitUntil([&] { return f.Cycle().DataSets() >= 1; }));
    // No poll while the fault is switched on, so that it finds the link idle.
    f.timerPoll->setInterval(60000);
    ASSERT_TRUE(WaitLinkIdle());
    ASSERT_TRUE(testing::SendControl(*sim, fault));
    f.timerPoll->setInterval(kFastPollMs);
    ASSERT_TRUE(WaitUntil([&] { return StatusText() == text && StatusImageIs(kImageNotCommunicating); })) << fault;
    ASSERT_TRUE(!*lift || testing::SendControl(*sim, lift));
    const int before = f.Cycle().DataSets();
    EXPECT_TRUE(WaitUntil([&] { return f.Cycle().DataSets() > before; })) << fault;
    EXPECT_FALSE(f.Cycle().Link().StopUpdates);
    EXPECT_TRUE(Shown().empty());
    Close();
  }
}

TEST_F(LinkFailureTest, ADataSetThatNeverEndsIsCutShownAndPollingGoesOn) {
  testsupport::PyFtpServer::Options options;
  options.endless = {"spectrum:"};
  const testsupport::PyFtpServer server(options);
  StoreModem(server.Address(), /*stopUpdates=*/false);
  frmMain& f = Open();
  f.timerPoll->setInterval(kFastPollMs);
  // Shown; the cycle then connects afresh for the next one.
  const QString text = "The Halden modem [Simulator] sent more than a data set; it was cut, retrying...";
  ASSERT_TRUE(WaitUntil([&] { return StatusText() == text; }, 30s));
  const std::size_t reads = server.Commands("RETR").size();
  EXPECT_TRUE(WaitUntil([&] { return server.Commands("RETR").size() >= reads + 2; }, 30s));
  EXPECT_EQ(f.Cycle().DataSets(), 0);
  EXPECT_FALSE(f.Cycle().Link().StopUpdates);
  EXPECT_TRUE(Shown().empty());
}

TEST_F(LinkFailureTest, ASlowGoodbyeDoesNotHoldUpTheNextConnection) {
  StartSim();
  frmMain& f = OpenOnSim(/*stopUpdates=*/true, /*pollMs=*/60000);
  f.tbMain->ClickButton("StopGo");
  ASSERT_TRUE(WaitUntil([&] { return f.Cycle().Link().Connected && !f.Cycle().Connecting(); }));
  // Every reply, the goodbye included, now comes 1.5 s late: halt, then go.
  ASSERT_TRUE(testing::SendControl(*sim, "fault slow=1500 on\n"));
  f.tbMain->ClickButton("StopGo");
  f.tbMain->ClickButton("StopGo");
  // Session 1 is the window's first, 2 the control session, 3 the next.
  // The first session's end may be its goodbye's reply or the client
  // leaving without waiting for it.
  const auto ended = [&](int session) {
    for (const testing::LogEntry& e : testing::ReadLog(*sim))
      if (e.session == session && e.text.rfind("close", 0) == 0) return true;
    return false;
  };
  ASSERT_TRUE(WaitUntil([&] { return ended(1) && !testing::SessionCommands(testing::ReadLog(*sim), 3).empty(); }));
  std::vector<std::string> order;
  for (const testing::LogEntry& e : testing::ReadLog(*sim))
    if ((e.session == 1 && e.text.rfind("close", 0) == 0) || (e.session == 3 && e.text.rfind("open", 0) == 0))
      order.push_back(e.text.substr(0, 4));
  EXPECT_EQ(order, (std::vector<std::string>{"open", "clos"}));
  f.tbMain->ClickButton("StopGo");
}

TEST_F(LinkFailureTest, MissingFftLibraryIsReportedAndStopsUpdates) {
  StartSim();
  StoreModem(sim->Address(), /*stopUpdates=*/false);
  frmMain& f = Open();
  f.timerPoll->setInterval(kFastPollMs);
  f.Spectrum().SetFftLoader([] { return FftLibrary::Open("/nonexistent/folder/libFFT.so"); });
  ASSERT_TRUE(WaitUntil([] { return BoxesTitled("FFT Library Not Available") == 1; }));
  ASSERT_TRUE(WaitLinkIdle());
  EXPECT_TRUE(Shown().back().text.contains("/nonexistent/folder/libFFT.so"));
  EXPECT_EQ(Shown().back().style, forms::vbCritical);
  EXPECT_TRUE(f.Cycle().Link().StopUpdates);
  EXPECT_FALSE(f.timerPoll->isActive());
  EXPECT_FALSE(f.Spectrum().Traces().HaveData);
  EXPECT_EQ(f.Cycle().DataSets(), 0);
  EXPECT_TRUE(f.isVisible());
  // The session is given up at once.
  ASSERT_TRUE(WaitUntil([&] { return testing::CountText(testing::ReadLog(*sim), "close (quit)") >= 2; }));
  EXPECT_EQ(BoxesTitled("FFT Library Not Available"), 1);
}

TEST_F(LinkFailureTest, CtrlSAbortsAConnectionAttemptThatHangs) {
  // A server that accepts and never greets.
  QTcpServer silent;
  ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
  std::vector<QTcpSocket*> accepted;
  QObject::connect(&silent, &QTcpServer::newConnection, [&] {
    while (QTcpSocket* socket = silent.nextPendingConnection()) accepted.push_back(socket);
  });
  StoreModem("127.0.0.1:" + std::to_string(silent.serverPort()), /*stopUpdates=*/false);
  frmMain& f = Open();
  ASSERT_TRUE(WaitUntil([&] { return !accepted.empty(); }));
  EXPECT_TRUE(f.Cycle().Connecting());
  EXPECT_EQ(StatusText(), "Attempting connection to Simulator (<Ctrl>S to Abort)...");

  f.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
  QTest::keyClick(&f, Qt::Key_S, Qt::ControlModifier);
  EXPECT_FALSE(f.Cycle().Connecting());
  EXPECT_TRUE(f.Cycle().Link().StopUpdates);
  EXPECT_EQ(StatusText(), "Halden communication has been halted!");
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  // The socket is closed well before the attempt would have timed out.
  ASSERT_TRUE(WaitUntil([&] { return accepted[0]->state() == QAbstractSocket::UnconnectedState; }, 3s));
  EXPECT_TRUE(Shown().empty());
}

}  // namespace
}  // namespace specterm
