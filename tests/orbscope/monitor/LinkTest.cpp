// The real-time update against the simulator and against a file-serving FTP
// server: start, polls, EVM in the title, short replies, statistics, stop,
// connection failures and the snapshot run of the program.

#include "FileFtpServer.h"
#include "monitor/AppWindow.h"
#include "monitor/ConstellationPlot.h"
#include "monitor/Identifiers.h"

#include "TestSupport.h"
#include "forms/Dialogs.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAction>
#include <QFontMetrics>
#include <QImage>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <cmath>
#include <set>

namespace {

using namespace orbscope;
using namespace std::chrono_literals;
using orbscope::test::ConstellationReply;
using orbscope::test::FileFtpServer;
using testsupport::WaitUntil;

constexpr int kTestPollMs = 100;

std::unique_ptr<CAppWindow> LinkedWindow(const std::string& address, bool automatic = false) {
  CAppWindow::Options options;
  options.commandLine.address = address;
  options.commandLine.addressGiven = true;
  options.commandLine.startAutomatically = automatic;
  auto window = CAppWindow::Create(options);
  if (window) window->Monitor().SetPollInterval(kTestPollMs);
  return window;
}

std::unique_ptr<CAppWindow> Started(const std::string& address) {
  auto window = LinkedWindow(address);
  window->resize(400, 360);
  window->show();
  window->OnCommand(IDM_START);
  return window;
}

bool WaitForDraws(CAppWindow& window, int count) {
  return WaitUntil([&] { return window.DrawCount() >= count; }, 15s);
}

std::vector<forms::ShownDialog> Boxes() { return forms::DialogSeam::Shown(); }

bool WaitForBox() {
  return WaitUntil([] { return !forms::DialogSeam::Shown().empty(); }, 20s);
}

// Whether a white marker lies within a few pixels of where value pair
// (i, q) maps in the window's picture; the white grid lines do not count.
bool MarkerNear(CConstellationMonitor& monitor, double i, double q) {
  const QImage& image = monitor.Picture();
  const int band = QFontMetrics(PlotFont()).height();
  const int width = monitor.ClientWidth();
  const int height = monitor.ClientHeight();
  std::set<int> gridX;
  std::set<int> gridY = {band};
  for (int l = 0; l <= 5; ++l) {
    gridX.insert(MapToPixel(l * 255.0 / 6, 0, 255, 0, width));
    gridY.insert(MapToPixel(l * 255.0 / 6, 0, 255, height, band));
  }
  const int x = MapToPixel(i, 0, 255, 0, width);
  const int y = MapToPixel(q, 0, 255, height, band);
  for (int dx = -4; dx <= 4; ++dx)
    for (int dy = -4; dy <= 4; ++dy) {
      const QPoint p(x + dx, y + dy);
      if (gridX.count(p.x()) != 0 || gridY.count(p.y()) != 0) continue;
      if (image.valid(p) && image.pixel(p) == qRgb(255, 255, 255)) return true;
    }
  return false;
}

class LinkTest : public ::testing::Test {
 protected:
  void SetUp() override { forms::DialogSeam::ClearShown(); }
};

TEST_F(LinkTest, StartReadsTwiceThenPollsAndDraws) {
  testsupport::ModemSim sim({"--model", "0", "--modulation", "2", "--snr", "30"});
  auto window = Started(sim.Address());
  ASSERT_TRUE(WaitForDraws(*window, 2));
  EXPECT_FALSE(window->MenuItem(IDM_START)->isEnabled());
  EXPECT_TRUE(window->MenuItem(IDM_STOP)->isEnabled());
  EXPECT_TRUE(window->TimerRunning());
  EXPECT_EQ(window->windowTitle(), QString::fromStdString("Orbscope (" + sim.Address() + ")"));
  CConstellationMonitor& monitor = window->Monitor();
  EXPECT_EQ(monitor.Status(), 0 * 256 + 2);
  EXPECT_EQ(monitor.TitleText().rfind("Melgar (QPSK EVM= ", 0), 0u) << monitor.TitleText();
  EXPECT_NEAR(monitor.Evm(), 30, 3) << "the simulator's noise at 30 dB";
  for (const double i : {64, 192})
    for (const double q : {64, 192}) EXPECT_TRUE(MarkerNear(monitor, i, q)) << "QPSK point " << i << "," << q;
  EXPECT_FALSE(MarkerNear(monitor, 128, 128)) << "nothing at the origin";
  EXPECT_TRUE(forms::DialogSeam::Shown().empty());

  // One control connection for the whole run, one "orbscope:" read per poll.
  int logins = 0;
  int reads = 0;
  for (const std::string& line : sim.LogLines()) {
    if (line.find("USER melgar") != std::string::npos) ++logins;
    if (line.find("RETR orbscope:") != std::string::npos) ++reads;
  }
  EXPECT_EQ(logins, 1);
  EXPECT_GE(reads, 4) << "two start reads and two polls";
}

TEST_F(LinkTest, TheFirstStartShowsTheGridAndWhatItIsDoingUntilTheFirstDrawing) {
  testsupport::ModemSim sim({"--fault", "slow=300", "--modulation", "2"});
  auto window = LinkedWindow(sim.Address(), /*automatic=*/true);
  window->resize(400, 360);
  window->show();
  CConstellationMonitor& monitor = window->Monitor();
  QAccessibleInterface* plot = QAccessible::queryAccessibleInterface(window->Plot());
  EXPECT_EQ(monitor.ProgressText(), "Connecting to " + sim.Address() + "...");
  ASSERT_TRUE(WaitUntil([&] { return !monitor.Picture().isNull(); }));
  const int gridY = MapToPixel(255.0 / 2, 0, 255, monitor.ClientHeight(), QFontMetrics(PlotFont()).height());
  EXPECT_EQ(monitor.Picture().pixel(monitor.ClientWidth() / 3, gridY), qRgb(255, 255, 255)) << "the grid at once";
  EXPECT_EQ(plot->text(QAccessible::Value).toStdString(), monitor.ProgressText());

  EXPECT_TRUE(WaitUntil([&] { return monitor.ProgressText() == "Waiting for data..."; }, 20s));
  ASSERT_TRUE(WaitUntil([&] { return window->DrawCount() >= 1; }, 60s));
  EXPECT_EQ(monitor.ProgressText(), "");
  // The reading, for screen readers: the title band and the EVM as a value.
  EXPECT_EQ(plot->text(QAccessible::Value).toStdString(), monitor.TitleText());
  QAccessibleValueInterface* value = plot->valueInterface();
  ASSERT_NE(value, nullptr);
  EXPECT_DOUBLE_EQ(value->currentValue().toDouble(), monitor.Evm());
}

struct ModelCase {
  int model;
  int modulation;
  const char* title;  // the title's start
  double i, q;        // one ideal point of the model's constellation (i < 0: none)
};

class ModelTest : public LinkTest, public ::testing::WithParamInterface<ModelCase> {};

TEST_P(ModelTest, TitleAndPointsPerModelAndModulation) {
  const ModelCase& c = GetParam();
  testsupport::ModemSim sim(
      {"--model", std::to_string(c.model), "--modulation", std::to_string(c.modulation), "--snr", "28"});
  auto window = Started(sim.Address());
  ASSERT_TRUE(WaitForDraws(*window, 1));
  CConstellationMonitor& monitor = window->Monitor();
  EXPECT_EQ(monitor.TitleText().rfind(c.title, 0), 0u) << monitor.TitleText();
  if (monitor.Evm() != -1.0) {
    EXPECT_NEAR(monitor.Evm(), 28, 3);
  }
  if (c.i >= 0) {
    EXPECT_TRUE(MarkerNear(monitor, c.i, c.q)) << "a point at " << c.i << "," << c.q;
  }
}

INSTANTIATE_TEST_SUITE_P(Models, ModelTest,
                         ::testing::Values(ModelCase{0, 1, "Melgar (BPSK EVM= ", 192, 128},
                                           ModelCase{1, 4, "Halden (8PSK EVM= ", 216, 164.5},
                                           ModelCase{2, 5, "Torvik (16QAM EVM= ", 221, 221},
                                           ModelCase{2, 6, "Torvik (8QAM EVM= ", 168, 128},
                                           ModelCase{0, 6, "Melgar (8QAM EVM= -1.0 dB)", -1, -1}));

TEST_F(LinkTest, A2048ByteReplyIsModelZeroQpsk) {
  testsupport::ModemSim sim({"--model", "1", "--modulation", "4", "--short-orbscope"});
  auto window = Started(sim.Address());
  ASSERT_TRUE(WaitForDraws(*window, 1));
  EXPECT_EQ(window->Monitor().Status(), kStatusSamplesOnly);
  EXPECT_EQ(window->Monitor().TitleText().rfind("Melgar (QPSK EVM= ", 0), 0u);
  EXPECT_TRUE(window->TimerRunning());
}

TEST_F(LinkTest, A2047ByteReplyEndsTheUpdateWithItsMessage) {
  FileFtpServer server;
  server.SetFile("orbscope:", ConstellationReply(192, 128, 1, 1));
  auto window = Started(server.Address());
  ASSERT_TRUE(WaitForDraws(*window, 1));
  window->MenuItem(IDM_STATISTICS)->trigger();
  ASSERT_TRUE(window->StatisticsOn());
  EXPECT_NEAR(window->Monitor().Evm(), 19.0849, 1e-3) << "Halden BPSK at a = 64";

  server.SetFile("orbscope:", ConstellationReply(192, 128).substr(0, 2047));
  ASSERT_TRUE(WaitUntil([&] { return !window->TimerRunning(); }, 20s));
  ASSERT_TRUE(WaitForBox());
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Lost ftp connection to the modem.");
  EXPECT_EQ(boxes[0].title, "Orbscope");
  EXPECT_EQ(boxes[0].style, forms::vbInformation);
  EXPECT_TRUE(window->MenuItem(IDM_START)->isEnabled());
  EXPECT_FALSE(window->MenuItem(IDM_STOP)->isEnabled());
  EXPECT_FALSE(window->MenuItem(IDM_STATISTICS)->isChecked());
  EXPECT_FALSE(window->StatisticsOn());
  EXPECT_FALSE(window->Monitor().StatisticsOn());
  EXPECT_FALSE(window->Monitor().IsConnected());
  EXPECT_EQ(window->Monitor().Picture().pixel(5, 5), qRgb(0, 0, 0)) << "the client area is erased";

  // Start again once the modem answers properly.
  server.SetFile("orbscope:", ConstellationReply(192, 128, 1, 1));
  const int draws = window->DrawCount();
  window->OnCommand(IDM_START);
  ASSERT_TRUE(WaitForDraws(*window, draws + 1));
  EXPECT_TRUE(window->TimerRunning());
}

TEST_F(LinkTest, AFailedStartReadIsALostConnection) {
  FileFtpServer server;
  server.SetFile("orbscope:", ConstellationReply(192, 128).substr(0, 2047));
  auto window = Started(server.Address());
  ASSERT_TRUE(WaitUntil([&] { return !window->Starting() && window->LinkIdle(); }, 20s));
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u) << "not a silent, connected-looking window";
  EXPECT_EQ(boxes[0].text, "Lost ftp connection to the modem.");
  EXPECT_EQ(boxes[0].title, "Orbscope");
  EXPECT_FALSE(window->Monitor().IsConnected());
  EXPECT_FALSE(window->TimerRunning());
  EXPECT_TRUE(window->MenuItem(IDM_START)->isEnabled());
  EXPECT_FALSE(window->MenuItem(IDM_STOP)->isEnabled());

  server.SetFile("orbscope:", ConstellationReply(192, 128, 1, 1));
  window->OnCommand(IDM_START);
  ASSERT_TRUE(WaitForDraws(*window, 1));
  EXPECT_TRUE(window->TimerRunning());
}

TEST_F(LinkTest, StatisticsOnAndOff) {
  testsupport::ModemSim sim({"--model", "2", "--modulation", "2", "--snr", "20"});
  auto window = Started(sim.Address());
  ASSERT_TRUE(WaitForDraws(*window, 1));
  CConstellationMonitor& monitor = window->Monitor();
  window->MenuItem(IDM_STATISTICS)->trigger();
  EXPECT_TRUE(window->MenuItem(IDM_STATISTICS)->isChecked());
  EXPECT_TRUE(monitor.StatisticsOn());
  EXPECT_EQ(monitor.Average(), monitor.Evm());
  EXPECT_EQ(monitor.Minimum(), monitor.Evm());
  EXPECT_EQ(monitor.Maximum(), monitor.Evm());
  const int draws = window->DrawCount();
  ASSERT_TRUE(WaitForDraws(*window, draws + 3));
  EXPECT_LE(monitor.Minimum(), monitor.Evm());
  EXPECT_GE(monitor.Maximum(), monitor.Evm());
  EXPECT_LE(monitor.Minimum(), monitor.Average());
  EXPECT_GE(monitor.Maximum(), monitor.Average());
  EXPECT_NE(monitor.TitleText().find("dB  [ "), std::string::npos) << monitor.TitleText();

  window->MenuItem(IDM_STATISTICS)->trigger();
  EXPECT_FALSE(window->MenuItem(IDM_STATISTICS)->isChecked());
  EXPECT_FALSE(monitor.StatisticsOn());
  EXPECT_EQ(monitor.TitleText().find('['), std::string::npos);
}

TEST_F(LinkTest, StopDisconnectsAndErases) {
  testsupport::ModemSim sim;
  auto window = Started(sim.Address());
  ASSERT_TRUE(WaitForDraws(*window, 1));
  window->MenuItem(IDM_STATISTICS)->trigger();
  window->MenuItem(IDM_STOP)->trigger();
  EXPECT_FALSE(window->TimerRunning());
  EXPECT_FALSE(window->Monitor().IsConnected());
  EXPECT_TRUE(window->MenuItem(IDM_START)->isEnabled());
  EXPECT_FALSE(window->MenuItem(IDM_STOP)->isEnabled());
  EXPECT_FALSE(window->MenuItem(IDM_STATISTICS)->isChecked());
  EXPECT_EQ(window->Monitor().Picture().pixel(5, 5), qRgb(0, 0, 0));
  ASSERT_TRUE(WaitUntil([&] { return window->LinkIdle(); }));
  ASSERT_TRUE(WaitUntil([&] {
    for (const std::string& line : sim.LogLines())
      if (line.find("QUIT") != std::string::npos) return true;
    return false;
  })) << "the connection is closed";
}

TEST_F(LinkTest, StopDuringTheStartSequenceAbandonsIt) {
  testsupport::ModemSim sim;
  auto window = LinkedWindow(sim.Address());
  window->Monitor().SetPollInterval(1500);
  window->OnCommand(IDM_START);
  // Stop becomes available once connected; the sequence then reads and
  // pauses for one poll interval.
  ASSERT_TRUE(WaitUntil([&] { return window->MenuItem(IDM_STOP)->isEnabled(); }, 10s));
  window->MenuItem(IDM_STOP)->trigger();
  ASSERT_TRUE(WaitUntil([&] { return window->LinkIdle(); }, 10s));
  EXPECT_FALSE(window->Starting());
  EXPECT_FALSE(window->TimerRunning()) << "the abandoned sequence set no timer";
  EXPECT_FALSE(window->Monitor().IsConnected());
  EXPECT_TRUE(window->MenuItem(IDM_START)->isEnabled());
  EXPECT_EQ(window->DrawCount(), 0);
  EXPECT_TRUE(Boxes().empty());
}

// Stop is the way out of a connection attempt to a modem that accepts and
// never answers; the next Start goes out at once.
TEST_F(LinkTest, StopAbandonsAConnectionAttempt) {
  orbscope::test::SilentModem silent;
  auto window = Started(silent.Address());
  EXPECT_FALSE(window->MenuItem(IDM_START)->isEnabled());
  EXPECT_TRUE(window->MenuItem(IDM_STOP)->isEnabled());
  ASSERT_TRUE(WaitUntil([&] { return silent.Accepted() == 1; }, 5s));
  window->MenuItem(IDM_STOP)->trigger();
  EXPECT_TRUE(window->MenuItem(IDM_START)->isEnabled());
  EXPECT_FALSE(window->MenuItem(IDM_STOP)->isEnabled());
  ASSERT_TRUE(WaitUntil([&] { return window->LinkIdle(); }, 3s)) << "the attempt was abandoned, not waited out";

  window->MenuItem(IDM_START)->trigger();
  ASSERT_TRUE(WaitUntil([&] { return silent.Accepted() == 2; }, 3s));
  window->MenuItem(IDM_STOP)->trigger();
  EXPECT_TRUE(Boxes().empty());
}

// Exit closes what is open and ends at once, whatever is in flight.
TEST_F(LinkTest, ExitEndsAtOnceWhileAConnectionAttemptOrAReadHangs) {
  orbscope::test::SilentModem silent;
  testsupport::ModemSim sim;
  for (const bool connected : {false, true}) {
    auto window = Started(connected ? sim.Address() : silent.Address());
    if (connected) {
      ASSERT_TRUE(WaitForDraws(*window, 1));
      ASSERT_TRUE(orbscope::test::SimFault(sim, "slow=30000"));
      ASSERT_TRUE(WaitUntil([&] { return !window->LinkIdle(); }, 5s)) << "a read is out";
    } else {
      ASSERT_TRUE(WaitUntil([&] { return silent.Accepted() == 1; }, 5s));
    }
    const auto exited = std::chrono::steady_clock::now();
    window->MenuItem(IDM_EXIT)->trigger();
    EXPECT_FALSE(window->isVisible());
    window.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - exited, 3s) << (connected ? "reading" : "connecting");
  }
}

TEST_F(LinkTest, ClosingWhileAReadIsOutIsSafe) {
  testsupport::ModemSim sim({"--fault", "slow=200"});
  auto window = Started(sim.Address());
  ASSERT_TRUE(WaitUntil([&] { return !window->LinkIdle(); }, 5s));
  window->close();
  window.reset();  // waits for the link thread; nothing comes back afterwards
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(LinkTest, CommandsRefusedWhileRunning) {
  testsupport::ModemSim sim;
  auto window = Started(sim.Address());
  ASSERT_TRUE(WaitForDraws(*window, 1));
  window->OnCommand(IDM_REFLASH);
  window->OnCommand(IDM_SET_ADDRESS);
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, "Cannot reFLASH while real-time update is running.");
  EXPECT_EQ(boxes[0].title, "Modem reFLASH");
  EXPECT_EQ(boxes[0].style, forms::vbInformation);
  EXPECT_EQ(boxes[1].text, "Cannot modify IP address while real-time update is running.");
  EXPECT_EQ(boxes[1].title, "IP Address Config");
}

TEST_F(LinkTest, AutomaticStart) {
  testsupport::ModemSim sim;
  auto window = LinkedWindow(sim.Address(), true);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitForDraws(*window, 1));
  EXPECT_FALSE(window->MenuItem(IDM_START)->isEnabled());
  EXPECT_TRUE(window->MenuItem(IDM_STOP)->isEnabled());
}

TEST_F(LinkTest, UnreachableModemFromTheMenuEndsTheProgram) {
  const std::string address = "127.0.0.1:" + std::to_string(testsupport::FreeLoopbackPort());
  auto window = LinkedWindow(address);
  window->show();
  window->OnCommand(IDM_START);
  ASSERT_TRUE(WaitForBox());
  const auto boxes = Boxes();
  EXPECT_EQ(boxes[0].text, "Unable to Connect to the ftp server.");
  EXPECT_EQ(boxes[0].title, "Start Real Time Update");
  EXPECT_EQ(boxes[0].style, forms::vbInformation);
  EXPECT_FALSE(window->isVisible()) << "the main window was closed";
}

TEST_F(LinkTest, UnreachableModemAtAutomaticStartKeepsTheProgramOpen) {
  const std::string address = "127.0.0.1:" + std::to_string(testsupport::FreeLoopbackPort());
  auto window = LinkedWindow(address, true);
  window->show();
  ASSERT_TRUE(WaitForBox());
  EXPECT_EQ(Boxes()[0].text, "Unable to Connect to the ftp server.");
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(window->MenuItem(IDM_START)->isEnabled());
  EXPECT_FALSE(window->Monitor().IsConnected());
}

TEST_F(LinkTest, SnapshotRunWritesThePlotAndQuits) {
  testsupport::ModemSim sim({"--model", "1", "--modulation", "2"});
  testsupport::TempDir dir;
  const std::string png = dir.File("plot.png");
  testsupport::ChildProcess orbscope({testsupport::BinDir() + "/orbscope", "-a" + sim.Address(), "--snapshot", png},
                                     {"QT_QPA_PLATFORM=offscreen", "HALDEN_REGISTRY_DIR=" + dir.Path()});
  ASSERT_TRUE(WaitUntil([&] { return !orbscope.Running(); }, 30s));
  const int status = orbscope.Stop();
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  const QImage image(QString::fromStdString(png));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.pixel(1, 1), qRgb(160, 160, 160)) << "the title band";
}

TEST_F(LinkTest, SnapshotRunWithoutModemFails) {
  testsupport::TempDir dir;
  const std::string png = dir.File("plot.png");
  testsupport::ChildProcess orbscope(
      {testsupport::BinDir() + "/orbscope", "-a127.0.0.1:" + std::to_string(testsupport::FreeLoopbackPort()),
       "--snapshot", png},
      {"QT_QPA_PLATFORM=offscreen", "HALDEN_REGISTRY_DIR=" + dir.Path()});
  ASSERT_TRUE(WaitUntil([&] { return !orbscope.Running(); }, 30s));
  const int status = orbscope.Stop();
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
  EXPECT_TRUE(testsupport::ReadFile(png).empty());
}

}  // namespace
