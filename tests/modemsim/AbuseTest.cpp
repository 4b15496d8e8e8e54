// Clients that misbehave: many at once, garbage, endless lines, vanishing
// in the middle of a transfer, never reading. The server stays up, keeps
// its memory bounded and keeps serving a normal client.

#include "SimTestUtil.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sys/socket.h>

#include <atomic>
#include <cstdlib>
#include <optional>
#include <random>
#include <thread>

using namespace modemsimtest;
using namespace std::chrono_literals;
using testsupport::ModemSim;
using testsupport::WaitUntil;

namespace {

bool ServesNormally(int port) {
  const auto data = Fetch(port, "spectrum:");
  return data && data->size() == 8224;
}

// Growth of the server's resident memory that counts as "bounded" after
// tens of megabytes of abuse.
constexpr long kMaxGrowthKb = 16 * 1024;

// Under AddressSanitizer, freed memory is held in a quarantine of up to
// 256 MB before it is reused; a simulator started while this exists frees
// at once, so that its memory shows what it keeps, not what ASan keeps.
class NoFreeQuarantine {
 public:
  NoFreeQuarantine() {
    if (const char* old = std::getenv("ASAN_OPTIONS")) old_ = old;
    const std::string options = old_.value_or("");
    setenv("ASAN_OPTIONS", (options + (options.empty() ? "" : ":") + "quarantine_size_mb=0").c_str(), 1);
  }
  ~NoFreeQuarantine() {
    if (old_)
      setenv("ASAN_OPTIONS", old_->c_str(), 1);
    else
      unsetenv("ASAN_OPTIONS");
  }
  NoFreeQuarantine(const NoFreeQuarantine&) = delete;
  NoFreeQuarantine& operator=(const NoFreeQuarantine&) = delete;

 private:
  std::optional<std::string> old_;
};

}  // namespace

TEST(SimAbuse, ManyClientsAtOnceAllGetTheirData) {
  ModemSim sim;
  constexpr int kClients = 40;
  std::atomic<int> good{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kClients; ++t) {
    threads.emplace_back([&, t] {
      FtpTestClient c(sim.Port());
      if (!c.Login()) return;
      const bool passive = t % 2 == 0;
      const auto s = c.Retr("spectrum:", passive);
      const auto o = c.Retr("orbscope:", passive);
      if (s && s->size() == 8224 && o && o->size() == 2050 && c.Command("QUIT").code == 221) ++good;
    });
  }
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(good.load(), kClients);
  EXPECT_TRUE(ServesNormally(sim.Port()));
}

TEST(SimAbuse, GarbageGetsErrorRepliesNotACrash) {
  ModemSim sim;
  FtpTestClient c(sim.Port());
  std::mt19937 rng(3);
  std::string junk;
  for (int k = 0; k < 20000; ++k) junk += static_cast<char>(rng() % 256);
  junk += "\r\n";
  ASSERT_TRUE(SendAll(c.Control(), junk));
  // Whatever it made of that, it answers with error codes or closes.
  FtpReply r = c.ReadReply();
  EXPECT_TRUE(r.code == 0 || r.code >= 500) << r.text;

  FtpTestClient d(sim.Port());
  ASSERT_TRUE(d.Login());
  EXPECT_EQ(d.Command(std::string("RETR spect\0rum:", 15)).code, 500);
  EXPECT_EQ(d.Command("").code, 500);
  EXPECT_EQ(d.Command("    ").code, 502);
  EXPECT_EQ(d.Command("SIZE \xff\xfe").code, 550);
  EXPECT_TRUE(ServesNormally(sim.Port()));
  EXPECT_TRUE(sim.Process().Running());
}

TEST(SimAbuse, AHundredKilobyteLineIsRejectedAndMemoryStaysBounded) {
  const NoFreeQuarantine quarantine;
  ModemSim sim;
  ASSERT_TRUE(ServesNormally(sim.Port()));
  const long before = ResidentKb(sim.Process().Pid());
  for (int round = 0; round < 20; ++round) {
    FtpTestClient c(sim.Port());
    ASSERT_EQ(c.Greeting().code, 220);
    // The server may close before it has all of it; that is its right.
    SendAll(c.Control(), "NOOP " + std::string(100 * 1024, 'A'), 2s);
    const FtpReply r = c.ReadReply();
    EXPECT_TRUE(r.code == 500 || r.code == 0) << r.text;
    EXPECT_TRUE(PeerClosed(c.Control()));
  }
  EXPECT_TRUE(ServesNormally(sim.Port()));
  EXPECT_LT(ResidentKb(sim.Process().Pid()) - before, kMaxGrowthKb);
  EXPECT_NE(testsupport::ReadFile(sim.LogPath()).find("command line longer than"), std::string::npos);
}

TEST(SimAbuse, ClientVanishingMidTransferCostsNothing) {
  ModemSim sim({"--flash-blocks", "3", "--flash-step-ms", "10"});
  for (int round = 0; round < 5; ++round) {
    // An upload cut off by a reset of the control connection.
    FtpTestClient c(sim.Port());
    ASSERT_TRUE(c.Login());
    Socket data = c.OpenPassive();
    ASSERT_TRUE(data.Valid());
    ASSERT_EQ(c.Command("STOR bulk:").code, 150);
    ASSERT_TRUE(SendAll(data, std::string(50000, 'x')));
    const int session = LastSession(sim.LogLines());
    c.Control().Reset();
    ASSERT_TRUE(WaitUntil([&] {
      const auto lines = SessionLog(sim.LogLines(), session);
      return !lines.empty() && lines.back().rfind("close", 0) == 0;
    }));
    data.Reset();

    // A download whose client resets both connections at once.
    FtpTestClient d(sim.Port());
    ASSERT_TRUE(d.Login());
    Socket data2 = d.OpenPassive();
    ASSERT_EQ(d.Command("RETR spectrum:").code, 150);
    data2.Reset();
    d.Control().Reset();
  }
  // The half-sent image was never taken for a complete one.
  EXPECT_EQ(Fetch(sim.Port(), "status:"), "0 of 0");
  EXPECT_TRUE(ServesNormally(sim.Port()));
}

TEST(SimAbuse, AClientThatNeverReadsIsHeldBackNotBuffered) {
  const NoFreeQuarantine quarantine;
  ModemSim sim;
  ASSERT_TRUE(ServesNormally(sim.Port()));
  const long before = ResidentKb(sim.Process().Pid());
  std::vector<std::unique_ptr<FtpTestClient>> stuck;
  for (int k = 0; k < 4; ++k) {
    auto c = std::make_unique<FtpTestClient>(sim.Port());
    ASSERT_TRUE(c->Login());
    // NOOPs as fast as the socket takes them, replies never read: the
    // send stops once the buffers on both sides are full.
    std::string burst;
    for (int n = 0; n < 4096; ++n) burst += "NOOP\r\n";
    std::size_t sent = 0;
    while (sent < (64u << 20) && SendAll(c->Control(), burst, 300ms)) sent += burst.size();
    EXPECT_LT(sent, 64u << 20);  // it was held back
    stuck.push_back(std::move(c));
  }
  // And one that opens a download and never reads the data.
  FtpTestClient lazy(sim.Port());
  ASSERT_TRUE(lazy.Login());
  Socket unread = lazy.OpenPassive();
  ASSERT_TRUE(unread.Valid());
  EXPECT_EQ(lazy.Command("RETR spectrum:").code, 150);
  EXPECT_TRUE(ServesNormally(sim.Port()));
  EXPECT_LT(ResidentKb(sim.Process().Pid()) - before, kMaxGrowthKb);
  stuck.clear();
  EXPECT_TRUE(ServesNormally(sim.Port()));
}

TEST(SimAbuse, SessionLimitAnswers421AndFreesUpAgain) {
  ModemSim sim;
  std::vector<std::unique_ptr<FtpTestClient>> clients;
  for (int k = 0; k < 210; ++k) clients.push_back(std::make_unique<FtpTestClient>(sim.Port()));
  // Those past the limit take the sessions kept for the control user, each
  // new one turning the oldest away, and are turned away when they log in
  // as anyone else.
  for (int k = 200; k < 210; ++k) {
    EXPECT_EQ(clients[static_cast<std::size_t>(k)]->Command("USER anonymous").code, 421) << k;
    EXPECT_TRUE(PeerClosed(clients[static_cast<std::size_t>(k)]->Control())) << k;
  }
  EXPECT_EQ(clients[199]->Command("USER anonymous").code, 331);
  clients.clear();
  EXPECT_TRUE(WaitUntil([&] { return ServesNormally(sim.Port()); }));
}
