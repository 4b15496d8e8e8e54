// Each fault, switched on at start (--fault) and at run time (a line
// written to "control:"), does what it says, and switching it off or
// clearing restores normal service.

#include "SimTestUtil.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace modemsimtest;
using namespace std::chrono_literals;
using testsupport::ModemSim;
using testsupport::WaitUntil;

namespace {

// A new connection is refused at its login: 421 and closed.
bool Refused(int port) {
  FtpTestClient c(port);
  return c.Greeting().code == 220 && c.Command("USER anonymous").code == 421 && PeerClosed(c.Control());
}

// A new connection is dropped, without a reply, on its first command.
bool DroppedOnFirstCommand(int port) {
  FtpTestClient c(port);
  if (c.Greeting().code != 220) return false;
  return c.Command("USER anonymous").code == 0 && PeerClosed(c.Control());
}

bool Works(int port) {
  const auto data = Fetch(port, "spectrum:");
  return data && data->size() == 8224;
}

}  // namespace

TEST(SimFaults, RefuseConnectionsAtStartAndCounted) {
  {
    ModemSim sim({"--fault", "refuse-connections"});
    EXPECT_TRUE(Refused(sim.Port()));
    EXPECT_TRUE(Refused(sim.Port()));
  }
  ModemSim sim({"--fault", "refuse-connections=2"});
  EXPECT_TRUE(Refused(sim.Port()));
  EXPECT_TRUE(Refused(sim.Port()));
  EXPECT_TRUE(Works(sim.Port()));
}

TEST(SimFaults, RefuseConnectionsAtRunTimeSparesOpenSessions) {
  ModemSim sim;
  FtpTestClient control(sim.Port());
  ASSERT_TRUE(control.Login("control", ""));
  FtpTestClient open(sim.Port());
  ASSERT_TRUE(open.Login());
  EXPECT_EQ(control.Stor("control:", "fault refuse-connections on\n").code, 226);
  EXPECT_TRUE(Refused(sim.Port()));
  EXPECT_TRUE(open.Retr("spectrum:"));  // already connected: unaffected
  EXPECT_EQ(control.Stor("control:", "fault refuse-connections off\n").code, 226);
  EXPECT_TRUE(Works(sim.Port()));
}

TEST(SimFaults, RefuseConnectionsLetsANewControlSessionLiftIt) {
  ModemSim sim;
  EXPECT_EQ(WriteControl(sim.Port(), "fault refuse-connections on\n").code, 226);
  EXPECT_TRUE(Refused(sim.Port()));
  EXPECT_EQ(WriteControl(sim.Port(), "fault clear\n").code, 226);
  EXPECT_TRUE(Works(sim.Port()));
}

TEST(SimFaults, DropConnectionsAtStart) {
  ModemSim sim({"--fault", "drop-connections=1"});
  EXPECT_TRUE(DroppedOnFirstCommand(sim.Port()));
  EXPECT_TRUE(Works(sim.Port()));
}

TEST(SimFaults, DropConnectionsAtRunTimeHitsTheNextCommandOfEverySession) {
  ModemSim sim;
  FtpTestClient a(sim.Port());
  ASSERT_TRUE(a.Login());
  EXPECT_EQ(WriteControl(sim.Port(), "fault drop-connections on\n").code, 226);
  EXPECT_EQ(a.Command("NOOP").code, 0);
  EXPECT_TRUE(PeerClosed(a.Control()));
  EXPECT_TRUE(DroppedOnFirstCommand(sim.Port()));
  EXPECT_TRUE(DroppedOnFirstCommand(sim.Port()));
  // The control user is exempt, so the fault can be lifted again.
  EXPECT_EQ(WriteControl(sim.Port(), "fault drop-connections off\n").code, 226);
  EXPECT_TRUE(Works(sim.Port()));
  const auto log = testsupport::ReadFile(sim.LogPath());
  EXPECT_NE(log.find("close (dropped by fault drop-connections)"), std::string::npos);
}

TEST(SimFaults, DenyAnswers550ForThatFileOnly) {
  ModemSim sim({"--fault", "deny=spectrum:"});
  FtpTestClient c(sim.Port());
  ASSERT_TRUE(c.Login());
  EXPECT_EQ(c.Command("SIZE spectrum:").code, 550);
  EXPECT_FALSE(c.Retr("/spectrum:"));
  EXPECT_EQ(c.Last().code, 550);
  EXPECT_TRUE(c.Retr("orbscope:"));

  EXPECT_EQ(WriteControl(sim.Port(), "fault deny=spectrum: off\nfault deny=capt_spec: on\n").code, 226);
  EXPECT_TRUE(c.Retr("spectrum:"));
  EXPECT_EQ(c.Stor("capt_spec:", std::string(1, '\x01')).code, 550);
  EXPECT_EQ(WriteControl(sim.Port(), "fault deny off\n").code, 226);
  EXPECT_EQ(c.Stor("capt_spec:", std::string(1, '\x01')).code, 226);
}

TEST(SimFaults, NoSizeAnswers502AndLeavesSizeOutOfFeat) {
  ModemSim sim({"--fault", "no-size"});
  FtpTestClient c(sim.Port());
  ASSERT_TRUE(c.Login());
  EXPECT_EQ(c.Command("SIZE spectrum:").code, 502);
  EXPECT_EQ(c.Command("FEAT").text.find(" SIZE"), std::string::npos);
  EXPECT_EQ(c.Retr("spectrum:")->size(), 8224u);  // the data itself is still there
  EXPECT_EQ(WriteControl(sim.Port(), "fault no-size off\n").code, 226);
  EXPECT_EQ(c.Command("SIZE spectrum:").text, "213 8224");
  EXPECT_EQ(WriteControl(sim.Port(), "fault no-size\n").code, 226);
  EXPECT_EQ(c.Command("SIZE orbscope:").code, 502);
}

TEST(SimFaults, ShortSpectrumSendsOnlyTheFirstBytes) {
  ModemSim sim({"--fault", "short-spectrum=100"});
  FtpTestClient c(sim.Port());
  ASSERT_TRUE(c.Login());
  EXPECT_EQ(c.Command("SIZE spectrum:").text, "213 100");
  const auto shortBlock = c.Retr("spectrum:");
  ASSERT_TRUE(shortBlock);
  EXPECT_EQ(shortBlock->size(), 100u);
  EXPECT_EQ(WriteControl(sim.Port(), "fault short-spectrum off\n").code, 226);
  const auto whole = c.Retr("spectrum:");
  ASSERT_TRUE(whole);
  EXPECT_EQ(whole->substr(0, 100), *shortBlock);
  EXPECT_EQ(WriteControl(sim.Port(), "fault short-spectrum=0\n").code, 226);
  EXPECT_EQ(c.Retr("spectrum:"), "");
}

TEST(SimFaults, SlowDelaysEveryReply) {
  using Clock = std::chrono::steady_clock;
  ModemSim sim({"--fault", "slow=300"});
  const auto start = Clock::now();
  FtpTestClient c(sim.Port());
  ASSERT_EQ(c.Greeting().code, 220);
  ASSERT_TRUE(c.Login());
  // USER and PASS: two delayed replies at least (the greeting is never
  // slowed, so that a control client can always get in).
  EXPECT_GE(Clock::now() - start, 600ms);

  // At run time, from a fault-exempt session.
  EXPECT_EQ(WriteControl(sim.Port(), "fault slow=0\n").code, 226);
  EXPECT_EQ(c.Command("NOOP").code, 200);
  EXPECT_EQ(WriteControl(sim.Port(), "fault slow=250 on\n").code, 226);
  const auto before = Clock::now();
  EXPECT_EQ(c.Command("NOOP").code, 200);
  EXPECT_GE(Clock::now() - before, 250ms);
}

TEST(SimFaults, FlashStallStopsProgressUntilLifted) {
  ModemSim sim({"--fault", "flash-stall", "--flash-blocks", "5", "--flash-step-ms", "10"});
  FtpTestClient c(sim.Port());
  ASSERT_TRUE(c.Login());
  ASSERT_EQ(c.Stor("boot:", "image bytes").code, 226);
  // Fifty steps' time later nothing has moved.
  EXPECT_FALSE(WaitUntil([&] { return c.Retr("status:") != "0 of 5"; }, 500ms));
  EXPECT_EQ(WriteControl(sim.Port(), "fault flash-stall off\n").code, 226);
  EXPECT_TRUE(WaitUntil([&] { return c.Retr("status:") == "5 of 5"; }));

  // Stalled at run time in the middle of a flash: it stays where it was.
  ModemSim slow({"--flash-blocks", "40", "--flash-step-ms", "25"});
  FtpTestClient d(slow.Port());
  ASSERT_TRUE(d.Login());
  ASSERT_EQ(d.Stor("app:", "image").code, 226);
  ASSERT_TRUE(WaitUntil([&] { return d.Retr("status:") != "0 of 40"; }));
  ASSERT_EQ(WriteControl(slow.Port(), "fault flash-stall on\n").code, 226);
  const auto frozen = d.Retr("status:");
  ASSERT_TRUE(frozen);
  EXPECT_NE(*frozen, "40 of 40");
  EXPECT_FALSE(WaitUntil([&] { return d.Retr("status:") != frozen; }, 300ms));
  ASSERT_EQ(WriteControl(slow.Port(), "fault clear\n").code, 226);
  EXPECT_TRUE(WaitUntil([&] { return d.Retr("status:") == "40 of 40"; }));
}

TEST(SimFaults, ControlReadsBackAndClearSwitchesEverythingOff) {
  ModemSim sim({"--fault", "no-size", "--fault", "slow=10"});
  FtpTestClient c(sim.Port());
  ASSERT_TRUE(c.Login("control", ""));
  const std::string signal = "carrier on\ncarrier-db 30\n";
  EXPECT_EQ(c.Retr("control:"), "fault no-size on\nfault slow=10 on\n" + signal);
  // The control user is exempt: SIZE works for it.
  EXPECT_EQ(c.Command("SIZE spectrum:").code, 213);
  EXPECT_EQ(c.Stor("control:", "fault deny=orbscope:\r\nfault short-spectrum=5\r\n").code, 226);
  EXPECT_EQ(c.Retr("control:"),
            "fault deny=orbscope: on\nfault no-size on\nfault short-spectrum=5 on\nfault slow=10 on\n" + signal);
  // A bad line changes nothing.
  const FtpReply bad = c.Stor("control:", "fault clear\nfault warp-drive on\n");
  EXPECT_EQ(bad.code, 451);
  EXPECT_NE(bad.text.find("line 2"), std::string::npos);
  EXPECT_EQ(c.Retr("control:")->empty(), false);
  EXPECT_EQ(c.Stor("control:", "fault clear\n").code, 226);
  EXPECT_EQ(c.Retr("control:"), signal) << "the signal is not a fault";
  FtpTestClient plain(sim.Port());
  ASSERT_TRUE(plain.Login());
  EXPECT_EQ(plain.Command("SIZE spectrum:").text, "213 8224");
}
