// The link thread and the window's session handle on it: work in order off
// the caller's thread, Abandon skipping what has not started and cutting
// short a pause or a login that hangs, results delivered through the event
// loop and dropped after an Abandon.

#include "TestSupport.h"
#include "link/LinkThread.h"
#include "link/ModemSession.h"

#include <gtest/gtest.h>

#include <QObject>
#include <QTcpServer>

#include <atomic>
#include <chrono>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace specterm {
namespace {

using namespace std::chrono_literals;
using testsupport::WaitUntil;

// A server that accepts connections and never says a word.
class SilentServer {
 public:
  SilentServer() { EXPECT_TRUE(server_.listen(QHostAddress::LocalHost, 0)); }
  std::string Address() const { return "127.0.0.1:" + std::to_string(server_.serverPort()); }

 private:
  QTcpServer server_;
};

TEST(LinkThreadTest, WorkRunsInOrderOnItsOwnThread) {
  LinkThread link;
  std::mutex mutex;
  std::vector<int> order;
  std::vector<std::thread::id> threads;
  std::promise<void> done;
  for (int i = 0; i < 5; ++i)
    link.Post([&, i](FTP_Server* session) {
      EXPECT_EQ(session, nullptr);
      std::lock_guard lock(mutex);
      order.push_back(i);
      threads.push_back(std::this_thread::get_id());
    });
  link.Post([&](FTP_Server*) { done.set_value(); });
  ASSERT_EQ(done.get_future().wait_for(5s), std::future_status::ready);
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
  for (const auto& id : threads) {
    EXPECT_NE(id, std::this_thread::get_id());
    EXPECT_EQ(id, threads[0]);
  }
}

TEST(LinkThreadTest, AbandonCutsAPauseShortAndSkipsWorkNotStarted) {
  LinkThread link;
  std::promise<bool> paused;
  std::atomic<bool> pausing{false};
  std::atomic<bool> skippedRan{false};
  std::promise<void> later;
  link.Post([&](FTP_Server*) {
    pausing = true;
    paused.set_value(link.PauseFor(60s));
  });
  link.Post([&](FTP_Server*) { skippedRan = true; });
  ASSERT_TRUE(WaitUntil([&] { return pausing.load(); }));
  const std::uint64_t before = link.Generation();
  link.Abandon();
  EXPECT_EQ(link.Generation(), before + 1);
  auto result = paused.get_future();
  ASSERT_EQ(result.wait_for(5s), std::future_status::ready);
  EXPECT_FALSE(result.get());
  // Work posted after the Abandon runs.
  link.Post([&](FTP_Server*) { later.set_value(); });
  ASSERT_EQ(later.get_future().wait_for(5s), std::future_status::ready);
  EXPECT_FALSE(skippedRan.load());
}

TEST(LinkThreadTest, AbandonCutsShortALoginThatHangs) {
  SilentServer server;
  LinkThread link;
  link.Adopt(std::make_unique<FTP_Server>());
  std::atomic<bool> started{false};
  std::promise<bool> connected;
  const std::string address = server.Address();
  link.Post([&](FTP_Server* session) {
    session->SetServerName(address);
    started = true;
    session->ConnectToServer();
    connected.set_value(session->IsConnected());
  });
  ASSERT_TRUE(WaitUntil([&] { return started.load(); }));
  link.Abandon();
  auto result = connected.get_future();
  // The layer's own limit for a login is many seconds.
  ASSERT_EQ(result.wait_for(3s), std::future_status::ready);
  EXPECT_FALSE(result.get());
  link.Release();
}

TEST(ModemSessionTest, ResultsComeBackThroughTheEventLoopUnlessAbandoned) {
  SilentServer server;
  QObject context;
  ModemSession session(&context, {});
  EXPECT_FALSE(session.Exists());
  session.Create();
  EXPECT_TRUE(session.Exists());
  EXPECT_TRUE(session.ConnectedToInternet());
  EXPECT_FALSE(session.IsConnected());

  bool paused = false;
  session.Pause(1ms, [&] { paused = true; });
  // Nothing is delivered without the event loop.
  EXPECT_FALSE(paused);
  ASSERT_TRUE(WaitUntil([&] { return paused; }));

  // A connection attempt that hangs, abandoned: its callback never runs,
  // and work begun afterwards does.
  bool connectDone = false;
  session.ConnectToServer(server.Address(), "", "", [&] { connectDone = true; });
  session.Abandon();
  session.Release();
  EXPECT_FALSE(session.Exists());
  bool afterDone = false;
  session.Pause(1ms, [&] { afterDone = true; });
  ASSERT_TRUE(WaitUntil([&] { return afterDone; }, 5s));
  EXPECT_FALSE(connectDone);
  EXPECT_FALSE(session.IsConnected());
}

}  // namespace
}  // namespace specterm
