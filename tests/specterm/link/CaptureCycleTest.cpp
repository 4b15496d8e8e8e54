// The capture cycle of the real window against the simulator: the first
// connection after start-up, the FTP commands of one cycle in order, Single
// Step, Stop/Go, a server that does not report sizes, a short block, and
// what a data set leaves in the window.

#include "CaptureTestSupport.h"
#include "forms/KeyedStatusBar.h"
#include "forms/KeyedToolBar.h"
#include "forms/PictureBox.h"
#include "vbformat/VbFormat.h"
#include "view/Icons.h"

#include <QAction>
#include <QApplication>
#include <QProgressBar>
#include <QTimer>

#include <algorithm>
#include <set>

namespace specterm {
namespace {

using testsupport::WaitUntil;
using namespace std::chrono_literals;

class CaptureCycleTest : public testing::CaptureFixture {};

TEST_F(CaptureCycleTest, StartupConnectsAfterItsDelayAndStartsPolling) {
  StartSim();
  frmMain& f = OpenOnSim(/*stopUpdates=*/false, /*pollMs=*/60000);
  // Nothing connects while the window loads: the connection timer does it.
  EXPECT_TRUE(f.timerConnection->isActive());
  EXPECT_EQ(f.timerConnection->interval(), 500);
  EXPECT_FALSE(f.Cycle().Link().Connected);
  EXPECT_EQ(testing::CountText(testing::ReadLog(*sim), "> USER anonymous"), 0);

  ASSERT_TRUE(WaitUntil([&] { return f.Cycle().Link().Connected && !f.Cycle().Connecting(); }));
  EXPECT_FALSE(f.timerConnection->isActive());
  EXPECT_EQ(StatusText(), "Successful connection established to Simulator...");
  EXPECT_TRUE(StatusImageIs(kImageConnected));
  EXPECT_TRUE(f.timerPoll->isActive());
  EXPECT_FALSE(f.Cycle().Link().StopUpdates);
  EXPECT_FALSE(f.tbMain->Pressed("StopGo"));
  EXPECT_EQ(f.mnuCommStopGo->text(), "&Stop Data Set Updates");
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  // Logged in anonymously, at the address with its port.
  ASSERT_TRUE(WaitUntil([&] { return testing::CountText(testing::ReadLog(*sim), "> PASS ****") == 1; }));
  EXPECT_EQ(testing::CountText(testing::ReadLog(*sim), "> USER anonymous"), 1);
}

TEST_F(CaptureCycleTest, StartupWithUpdatesStoppedWaitsForGo) {
  StartSim();
  frmMain& f = OpenOnSim(/*stopUpdates=*/true, /*pollMs=*/60000);
  // The connection timer is the only way to a connection at start-up.
  EXPECT_FALSE(f.timerConnection->isActive());
  EXPECT_FALSE(f.Cycle().Connecting());
  EXPECT_FALSE(f.timerPoll->isActive());

  f.tbMain->ClickButton("StopGo");
  EXPECT_TRUE(f.Cycle().Connecting());
  EXPECT_EQ(StatusText(), "Attempting connection to Simulator (<Ctrl>S to Abort)...");
  EXPECT_TRUE(StatusImageIs(kImageReading));
  EXPECT_NE(QApplication::overrideCursor(), nullptr);
  ASSERT_TRUE(WaitUntil([&] { return !f.Cycle().Connecting(); }));
  EXPECT_TRUE(f.Cycle().Link().Connected);
  EXPECT_TRUE(f.timerPoll->isActive());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// The running cycle works in the background: the pointer over the window
// stays what the mouse mode made it, whatever its connections wait for.
TEST_F(CaptureCycleTest, RunningCyclesNeverShowTheBusyPointer) {
  StartSim({"--fault", "slow=150"});
  frmMain& f = OpenOnSim(/*stopUpdates=*/false);
  ASSERT_TRUE(WaitUntil([&] { return f.Cycle().DataSets() >= 1; }, 60s));
  bool busy = false;
  QTimer sample;
  QObject::connect(&sample, &QTimer::timeout, [&] { busy = busy || QApplication::overrideCursor() != nullptr; });
  sample.start(0);
  const int before = f.Cycle().DataSets();
  ASSERT_TRUE(WaitUntil([&] { return f.Cycle().DataSets() >= before + 2; }, 60s));
  EXPECT_FALSE(busy);
}

// A header whose band single precision cannot hold: the data set is
// refused and said, and the plot keeps its grid rather than going black.
TEST_F(CaptureCycleTest, ABandTooNarrowToDrawIsRefusedAndSaid) {
  StartSim({"--centre", "4294967295", "--rate-exponent", "12"});
  frmMain& f = OpenOnSim(/*stopUpdates=*/false);
  ASSERT_TRUE(WaitUntil([&] { return StatusText().contains("band is too narrow to draw"); }, 60s));
  EXPECT_EQ(f.Cycle().DataSets(), 0);
  const QImage& picture = f.picSpectrum->Image();
  std::set<QRgb> colours;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) colours.insert(picture.pixel(x, y));
  EXPECT_GT(colours.size(), 2u);
}

TEST_F(CaptureCycleTest, HaltBeforeTheFirstConnectionHoldsItBack) {
  StartSim();
  frmMain& f = OpenOnSim(/*stopUpdates=*/false);
  ASSERT_TRUE(f.timerConnection->isActive());
  f.tbMain->ClickButton("StopGo");
  EXPECT_FALSE(f.timerConnection->isActive());
  EXPECT_TRUE(f.Cycle().Link().StopUpdates);
  EXPECT_FALSE(f.Cycle().Connecting());
}

TEST_F(CaptureCycleTest, OneCycleTriggersReadsAndReconnectsInOrder) {
  StartSim();
  frmMain& f = OpenOnSim(/*stopUpdates=*/false);
  int shown = 0;
  QObject::connect(&f, &frmMain::DataSetShown, &f, [&](int count) { shown = count; });
  ASSERT_TRUE(WaitUntil([&] { return f.Cycle().DataSets() >= 1; }));
  // The cycle ends with its connection; the next one is far away.
  f.timerPoll->setInterval(60000);
  ASSERT_TRUE(WaitLinkIdle());
  EXPECT_EQ(shown, 1);
  EXPECT_TRUE(f.timerPoll->isActive());

  const auto log = testing::ReadLog(*sim);
  // Session 1 connected at start-up and made the capture request; session 2
  // read the capture; session 3 is the connection made after the read.
  const auto captures = testing::SessionsWith(log, "> STOR capt_spec:");
  const auto reads = testing::SessionsWith(log, "> RETR spectrum:");
  ASSERT_FALSE(captures.empty());
  ASSERT_FALSE(reads.empty());
  EXPECT_EQ(captures[0], 1);
  EXPECT_EQ(reads[0], 2);
  const auto first = testing::SessionCommands(log, 1);
  ASSERT_GE(first.size(), 4u);
  EXPECT_EQ(first[0], "USER anonymous");
  EXPECT_EQ(first[1], "PASS ****");
  EXPECT_EQ(first.back(), "QUIT");  // released right after the request
  const auto second = testing::SessionCommands(log, 2);
  ASSERT_GE(second.size(), 5u);
  EXPECT_EQ(second[0], "USER anonymous");
  const auto size = std::find(second.begin(), second.end(), "SIZE spectrum:");
  const auto retr = std::find(second.begin(), second.end(), "RETR spectrum:");
  EXPECT_TRUE(size < retr);
  EXPECT_EQ(second.back(), "QUIT");
  EXPECT_EQ(testing::SessionCommands(log, 3).at(0), "USER anonymous");

  // The whole log in order: request, its session's end, then the read.
  std::vector<std::string> order;
  for (const auto& e : log)
    if (e.session <= 3 && (e.text == "> STOR capt_spec:" || e.text == "> RETR spectrum:" ||
                           e.text.rfind("close", 0) == 0 || e.text.rfind("open", 0) == 0))
      order.push_back(std::to_string(e.session) + " " + e.text.substr(0, e.text.find(' ')));
  const std::vector<std::string> expected = {"1 open", "1 >", "1 close", "2 open", "2 >", "2 close", "3 open"};
  ASSERT_GE(order.size(), expected.size());
  EXPECT_EQ(std::vector<std::string>(order.begin(), order.begin() + 7), expected);
}

TEST_F(CaptureCycleTest, DataSetFillsTheReadOutsCaptionsAndReferenceLocation) {
  // The slowest rate the block can carry: SpanScale 10000.
  StartSim({"--rate-exponent", "12"});
  frmMain& f = OpenOnSim(/*stopUpdates=*/true);
  f.tbMain->ClickButton("SingleStep");
  ASSERT_TRUE(WaitUntil([&] { return f.Cycle().DataSets() == 1; }));
  ASSERT_TRUE(WaitLinkIdle());

  const SampleBlock& block = f.Spectrum().Block();
  EXPECT_EQ(block.SpanScale, 10000.0f);
  EXPECT_EQ(f.sbStatus->PanelText("CenterFreq"), "70.0000000MHz");
  EXPECT_EQ(f.sbStatus->PanelText("Frequency"), "70.0000000MHz");
  EXPECT_EQ(f.sbStatus->PanelText("SampleRate"), "6.1035KHz");
  EXPECT_EQ(f.mnuViewFB[0]->text(), "0.000002MHz Span");
  EXPECT_EQ(f.mnuViewFB[9]->text(), "0.002500MHz Span");
  EXPECT_EQ(f.tbMain->ButtonMenuText("FSpan", "FB9"), "0.002500MHz Span");
  // The reference location is the capture's centre on the plot's x axis,
  // inside the band, at the middle of the fitted amplitudes.
  const AmplitudeScale& amplitude = f.Spectrum().Amplitude();
  const float middle = (amplitude.AmpCeiling + amplitude.AmpFloor) / 2.0f;
  EXPECT_FLOAT_EQ(f.Navigator().Selection().ClickX, 700.0f * 10000.0f);
  EXPECT_FLOAT_EQ(f.Navigator().Selection().ClickY, -middle);
  EXPECT_EQ(f.sbStatus->PanelText("Amplitude"), QString::fromStdString(vb::Format(middle, "###0.00dB")));
  EXPECT_GT(f.Navigator().Selection().ClickX, block.BandLow);
  EXPECT_LT(f.Navigator().Selection().ClickX, block.BandHigh);
  EXPECT_TRUE(f.Spectrum().Traces().HaveData);
  EXPECT_EQ(f.pbStatus->value(), 0);
}

TEST_F(CaptureCycleTest, SingleStepWhileStoppedRunsExactlyOneCycle) {
  StartSim();
  frmMain& f = OpenOnSim(/*stopUpdates=*/true);
  f.tbMain->ClickButton("SingleStep");
  ASSERT_TRUE(WaitUntil([&] { return f.Cycle().DataSets() == 1; }));
  ASSERT_TRUE(WaitLinkIdle());
  EXPECT_FALSE(f.timerPoll->isActive());
  EXPECT_FALSE(f.Cycle().Link().SingleStepping);
  EXPECT_TRUE(f.Cycle().Link().StopUpdates);
  EXPECT_TRUE(f.tbMain->Pressed("StopGo"));
  const auto log = testing::ReadLog(*sim);
  EXPECT_EQ(testing::CountText(log, "> STOR capt_spec:"), 1);
  EXPECT_EQ(testing::CountText(log, "> RETR spectrum:"), 1);
  // A step shows no connection texts.
  EXPECT_NE(StatusText(), "Successful connection established to Simulator...");
}

TEST_F(CaptureCycleTest, HaltClosesTheSessionAtOnceAndGoConnectsAnew) {
  StartSim();
  // Polling, but idle between cycles, with the session connected.
  frmMain& f = OpenOnSim(/*stopUpdates=*/false, /*pollMs=*/60000);
  ASSERT_TRUE(WaitUntil([&] { return f.Cycle().Link().Connected && !f.Cycle().Connecting(); }));
  ASSERT_TRUE(WaitUntil([&] { return testing::CountText(testing::ReadLog(*sim), "> PWD") == 1; }));

  f.tbMain->ClickButton("StopGo");
  EXPECT_TRUE(f.Cycle().Link().StopUpdates);
  EXPECT_FALSE(f.timerPoll->isActive());
  EXPECT_TRUE(f.tbMain->Pressed("StopGo"));
  EXPECT_EQ(f.mnuCommStopGo->text(), "&Start Data Set Updates");
  EXPECT_EQ(StatusText(), "Halden communication has been halted!");
  EXPECT_TRUE(f.timerStatus->isActive());
  EXPECT_TRUE(StatusImageIs(kImageNotCommunicating));
  EXPECT_TRUE(f.tbMain->Enabled("SingleStep"));
  EXPECT_TRUE(f.mnuCommSingleStep->isEnabled());
  // The session closes now, not at the next cycle.
  ASSERT_TRUE(WaitUntil([&] { return testing::CountText(testing::ReadLog(*sim), "close (quit)") == 1; }, 3s));

  f.tbMain->ClickButton("StopGo");
  ASSERT_TRUE(WaitUntil([&] { return !f.Cycle().Connecting(); }));
  EXPECT_FALSE(f.Cycle().Link().StopUpdates);
  EXPECT_TRUE(f.timerPoll->isActive());
  EXPECT_EQ(StatusText(), "Halden communication has been resumed!");
  EXPECT_TRUE(StatusImageIs(kImageConnected));
  EXPECT_FALSE(f.tbMain->Enabled("SingleStep"));
  EXPECT_FALSE(f.mnuCommSingleStep->isEnabled());
  EXPECT_EQ(f.mnuCommStopGo->text(), "&Stop Data Set Updates");
  ASSERT_TRUE(WaitUntil([&] { return testing::CountText(testing::ReadLog(*sim), "> PASS ****") == 2; }));
  EXPECT_EQ(testing::SessionsWith(testing::ReadLog(*sim), "> PASS ****").back(), 2);
}

TEST_F(CaptureCycleTest, HaltCutsShortAStepInFlight) {
  // Every reply takes 5 s: the connection attempt at start-up is still
  // waiting for the greeting when the user halts.
  StartSim({"--fault", "slow=5000"});
  frmMain& f = OpenOnSim(/*stopUpdates=*/false);
  ASSERT_TRUE(WaitUntil([&] { return f.Cycle().Connecting(); }));
  ASSERT_TRUE(WaitUntil([&] {
    for (const auto& e : testing::ReadLog(*sim))
      if (e.session == 1 && e.text.rfind("open", 0) == 0) return true;
    return false;
  }));
  f.tbMain->ClickButton("StopGo");
  EXPECT_FALSE(f.Cycle().Connecting());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  // Gone well before the greeting would have come.
  ASSERT_TRUE(WaitUntil(
      [&] {
        for (const auto& e : testing::ReadLog(*sim))
          if (e.session == 1 && e.text.rfind("close", 0) == 0) return true;
        return false;
      },
      3s));
  // The attempt's failure is not reported: the user stopped it.
  EXPECT_TRUE(forms::DialogSeam::Shown().empty());
  EXPECT_EQ(StatusText(), "Halden communication has been halted!");
}

TEST_F(CaptureCycleTest, ServerWithoutSizesIsReadInFullBlocks) {
  StartSim({"--fault", "no-size"});
  frmMain& f = OpenOnSim(/*stopUpdates=*/true);
  f.tbMain->ClickButton("SingleStep");
  ASSERT_TRUE(WaitUntil([&] { return f.Cycle().DataSets() == 1; }));
  ASSERT_TRUE(WaitLinkIdle());
  EXPECT_EQ(testing::CountText(testing::ReadLog(*sim), "> SIZE spectrum:"), 1);
  EXPECT_TRUE(f.Spectrum().Traces().HaveData);
  EXPECT_EQ(f.Spectrum().Block().CenterFreq, 700.0);
  EXPECT_EQ(f.sbStatus->PanelText("CenterFreq"), "70.000MHz");
}

TEST_F(CaptureCycleTest, ShortBlockIsReportedAndNotDrawn) {
  StartSim({"--fault", "short-spectrum=5000"});
  frmMain& f = OpenOnSim(/*stopUpdates=*/true);
  const QString centreBefore = f.sbStatus->PanelText("CenterFreq");
  f.tbMain->ClickButton("SingleStep");
  ASSERT_TRUE(WaitUntil([&] { return testing::CountText(testing::ReadLog(*sim), "> RETR spectrum:") == 1; }));
  ASSERT_TRUE(WaitLinkIdle());
  EXPECT_EQ(StatusText(), "An incomplete data set was received (5000 of 8224 bytes)!");
  EXPECT_TRUE(f.timerStatus->isActive());
  EXPECT_EQ(f.Cycle().DataSets(), 0);
  EXPECT_FALSE(f.Spectrum().Traces().HaveData);
  EXPECT_EQ(f.sbStatus->PanelText("CenterFreq"), centreBefore);
  // Counted as a read: the link reconnects and no loss is reported.
  EXPECT_FALSE(f.Cycle().Link().LossReported);
  EXPECT_TRUE(forms::DialogSeam::Shown().empty());
}

TEST_F(CaptureCycleTest, PreviousTraceSwitchedOnProcessesTheSamplesAgain) {
  StartSim();
  frmMain& f = OpenOnSim(/*stopUpdates=*/true);
  f.mnuToolsVideoAverage->trigger();
  f.tbMain->ClickButton("SingleStep");
  ASSERT_TRUE(WaitUntil([&] { return f.Cycle().DataSets() == 1; }));
  ASSERT_TRUE(WaitLinkIdle());
  const TraceStore& traces = f.Spectrum().Traces();
  ASSERT_EQ(traces.VideoAverageCount, 1);
  EXPECT_NE(traces.TraceY[kPreviousRow], traces.TraceY[kCurrentRow]);

  f.mnuToolsLastTrace->trigger();
  EXPECT_TRUE(f.tbMain->Pressed("LastTrace"));
  EXPECT_TRUE(traces.TraceShown[kPreviousRow]);
  EXPECT_EQ(traces.TraceY[kPreviousRow], traces.TraceY[kCurrentRow]);
  EXPECT_EQ(traces.VideoAverageCount, 2);

  // Switching an accumulation on restarts it.
  f.mnuToolsVideoAverage->trigger();
  f.mnuToolsVideoAverage->trigger();
  EXPECT_EQ(traces.VideoAverageCount, 0);
  EXPECT_TRUE(f.tbMain->Pressed("VideoAverage"));
}

}  // namespace
}  // namespace specterm
