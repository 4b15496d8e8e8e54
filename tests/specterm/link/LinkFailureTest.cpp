// The capture cycle when things go wrong: the read refused (the lost-link
// question and both answers), a read failing again while the loss is
// reported, a connection refused inside a running cycle, the FFT library
// missing, and Ctrl+S while a connection attempt hangs.

#include "CaptureTestSupport.h"
#include "forms/KeyedStatusBar.h"
#include "forms/KeyedToolBar.h"
#include "view/Icons.h"

#include <QAction>
#include <QApplication>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

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

TEST_F(LinkFailureTest, YesToTheLostLinkQuestionReconnectsAndPollingGoesOn) {
  StartSim();
  frmMain& f = Running();
  QueueMsgBoxAnswer(forms::vbYes);
  ASSERT_TRUE(testing::SendControl(*sim, "fault deny=spectrum: on\n"));
  ASSERT_TRUE(WaitUntil([] { return BoxesTitled(kLostTitle) == 1; }));
  // The link comes back at once, with the connection texts.
  ASSERT_TRUE(WaitUntil([&] { return !f.Cycle().Link().LossReported; }));
  EXPECT_FALSE(f.Cycle().Link().StopUpdates);
  EXPECT_TRUE(f.Cycle().Link().Connected);
  ASSERT_TRUE(testing::SendControl(*sim, "fault deny=spectrum: off\n"));
  // Data sets arrive again: the cycles after the answer have a connection.
  const int before = f.Cycle().DataSets();
  ASSERT_TRUE(WaitUntil([&] { return f.Cycle().DataSets() >= before + 2; }));
  EXPECT_FALSE(f.Cycle().Link().StopUpdates);
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

TEST_F(LinkFailureTest, RefusedConnectionInsideACycleLeavesPollingStopped) {
  StartSim();
  frmMain& f = Running();
  // From now on the simulator refuses new connections: the capture request
  // still goes out on the connection the last cycle made, the connection
  // before the read fails.
  ASSERT_TRUE(testing::SendControl(*sim, "fault refuse-connections on\n"));
  ASSERT_TRUE(WaitUntil([&] { return f.Cycle().Link().StopUpdates; }));
  ASSERT_TRUE(WaitLinkIdle());
  // Stopped, and the cycle did not arm the timer again.
  EXPECT_FALSE(f.timerPoll->isActive());
  EXPECT_TRUE(f.tbMain->Pressed("StopGo"));
  EXPECT_EQ(f.mnuCommStopGo->text(), "&Start Data Set Updates");
  EXPECT_TRUE(StatusImageIs(kImageNotCommunicating));
  // The modem was reached before: no "Cannot Connect To Server" box.
  EXPECT_EQ(BoxesTitled("Cannot Connect To Server"), 0);
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
