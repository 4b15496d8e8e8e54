// The simulator under load: hundreds of clients at once beside clients that
// hold their session without finishing a command or without reading, and
// the fault-exempt control user, who must always get in to lift a fault.

#include "SimTestUtil.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <random>
#include <thread>

using namespace modemsimtest;
using namespace std::chrono_literals;
using testsupport::ModemSim;

namespace {

using Clock = std::chrono::steady_clock;

// Fetches "spectrum:" once, coming back after a short pause while the
// simulator turns connections away as full; true when the block arrived.
bool FetchUntilServed(int port, Clock::time_point deadline, unsigned seed) {
  std::mt19937 random(seed);
  while (Clock::now() < deadline) {
    FtpTestClient c(port);
    if (c.Greeting().code == 220 && c.Login()) {
      const auto data = c.Retr("spectrum:", seed % 2 == 0);
      return data && data->size() == 8224 && c.Command("QUIT").code == 221;
    }
    // Refused (421) or not yet accepted: a real client backs off a little.
    std::this_thread::sleep_for(std::chrono::milliseconds(20 + random() % 80));
  }
  return false;
}

}  // namespace

TEST(SimLoad, ServesThreeHundredClientsAtOnceBesideStuckOnes) {
  ModemSim sim;
  // One that never finishes its command line ...
  FtpTestClient slow(sim.Port());
  ASSERT_TRUE(slow.Login());
  ASSERT_TRUE(SendAll(slow.Control(), "RETR spectr"));
  // ... and one that sends commands and never reads a reply.
  FtpTestClient deaf(sim.Port());
  ASSERT_TRUE(deaf.Login());
  std::string burst;
  for (int n = 0; n < 4096; ++n) burst += "NOOP\r\n";
  while (SendAll(deaf.Control(), burst, 300ms)) {
  }

  constexpr int kClients = 300;
  const auto deadline = Clock::now() + 90s;
  std::atomic<int> served{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kClients; ++t)
    threads.emplace_back([&, t] {
      if (FetchUntilServed(sim.Port(), deadline, static_cast<unsigned>(t))) ++served;
    });
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(served.load(), kClients);

  // The slow client's session is still there and answers once the line ends.
  ASSERT_TRUE(SendAll(slow.Control(), "um:\r\n"));
  EXPECT_EQ(slow.ReadReply().code, 425);
  EXPECT_TRUE(sim.Process().Running());
}

TEST(SimLoad, TheGreetingIsNeverSlowedSoControlCanLiftASlowdown) {
  ModemSim sim({"--fault", "slow=20000"});
  // A control client with a 10 s timeout on every reply.
  EXPECT_EQ(WriteControl(sim.Port(), "fault clear\n").code, 226);
  FtpTestClient c(sim.Port());
  EXPECT_EQ(c.Greeting().code, 220);
  EXPECT_TRUE(c.Login());
}

TEST(SimLoad, TheControlUserGetsInWhenEverySessionIsTaken) {
  ModemSim sim;
  std::vector<std::unique_ptr<FtpTestClient>> held;
  // Every session taken, and more connections than are kept for the control
  // user, by clients that never send a command.
  while (held.size() < 260) {
    held.push_back(std::make_unique<FtpTestClient>(sim.Port()));
    ASSERT_NE(held.back()->Greeting().code, 0) << "connection " << held.size();
  }
  EXPECT_EQ(WriteControl(sim.Port(), "fault slow=10\n").code, 226);
  EXPECT_EQ(WriteControl(sim.Port(), "fault clear\n").code, 226);
  // The kept sessions are for the control user only.
  FtpTestClient other(sim.Port());
  const int greeting = other.Greeting().code;
  EXPECT_TRUE(greeting == 421 || other.Command("USER anonymous").code == 421);
  EXPECT_TRUE(PeerClosed(other.Control()));
}
