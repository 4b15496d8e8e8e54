#pragma once

// The thread on which the modem session lives. Every FTP call and every
// pause of the capture cycle runs here, in the order posted, so the window
// never waits on the modem.
//
// Work posted before an Abandon is skipped when it has not started yet and
// cut short when it has: the session object it uses is closed from a helper
// thread, which makes a blocked WinINet call give up within about 100 ms,
// and a pause ends at once. Session objects are created by the caller and
// handed over; a released one is destroyed on a thread of its own, in
// turn with the others released before it, since its destruction says
// goodbye to the modem (QUIT, as slow as the modem is) and pauses. The link
// waits for that only as long as a prompt goodbye and its pause take, so
// the modem sees one session after the other, yet a slow goodbye never
// delays the next connection.

#include "link/FTP_Server.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace specterm {

class LinkThread {
 public:
  // Runs on the link thread with the current session object (nullptr when
  // there is none).
  using Work = std::function<void(FTP_Server* session)>;

  LinkThread();
  // Abandons what is in flight, destroys the session object and joins.
  ~LinkThread();
  LinkThread(const LinkThread&) = delete;
  LinkThread& operator=(const LinkThread&) = delete;

  // Makes session the current object; a previous one is destroyed first.
  void Adopt(std::unique_ptr<FTP_Server> session);
  // Destroys the current object (nothing when there is none).
  void Release();
  void Post(Work work);

  // For work running on the link thread: waits for the pause, or less when
  // the work is abandoned meanwhile. Returns false when abandoned.
  bool PauseFor(std::chrono::milliseconds pause);
  // For work running on the link thread: whether it has been abandoned.
  bool Abandoned() const;

  // Skips or cuts short all work posted so far. Adopt and Release still
  // happen, in order. The current object may have been closed under it:
  // release it. Callable from any thread; never waits on the link.
  void Abandon();
  // Goes up by one with each Abandon.
  std::uint64_t Generation() const { return generation_.load(); }

 private:
  enum class Kind { Work, Adopt, Release, Stop };
  struct Job {
    Kind kind = Kind::Work;
    std::uint64_t generation = 0;
    Work work;
    std::unique_ptr<FTP_Server> session;
  };

  // Destroys released session objects, one after another, off the link
  // thread.
  class SessionRetirer {
   public:
    SessionRetirer();
    // Destroys what is still queued, then joins.
    ~SessionRetirer();
    SessionRetirer(const SessionRetirer&) = delete;
    SessionRetirer& operator=(const SessionRetirer&) = delete;
    // Queues the session for destruction and waits until it is destroyed,
    // or at most `wait`.
    void Retire(std::unique_ptr<FTP_Server> session, std::chrono::milliseconds wait);

   private:
    void Loop();
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    std::deque<std::unique_ptr<FTP_Server>> sessions_;
    std::uint64_t queued_ = 0;    // sessions handed over so far
    std::uint64_t finished_ = 0;  // sessions destroyed so far
    bool stopping_ = false;
    std::thread thread_;
  };

  // How long the link waits for a released session: its goodbye to a modem
  // that answers promptly, and its pause.
  static constexpr std::chrono::milliseconds kReleaseWait{FTP_Server::kTerminatePauseMs + 100};

  // Closes handles on a thread of its own: closing a connection says
  // goodbye to the server, which may take as long as the server does.
  class HandleCloser {
   public:
    HandleCloser();
    ~HandleCloser();
    HandleCloser(const HandleCloser&) = delete;
    HandleCloser& operator=(const HandleCloser&) = delete;
    void Close(HINTERNET handle);

   private:
    void Loop();
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<HINTERNET> handles_;
    bool stopping_ = false;
    std::thread thread_;
  };

  void Push(Job job);
  void Loop();

  std::atomic<std::uint64_t> generation_{0};
  // The generation of the work running now, and the session handle it uses.
  std::atomic<std::uint64_t> running_{0};
  std::atomic<HINTERNET> active_{nullptr};

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Job> jobs_;

  std::mutex pauseMutex_;
  std::condition_variable pauseWake_;

  std::unique_ptr<FTP_Server> session_;  // used on the link thread only
  SessionRetirer retirer_;
  HandleCloser closer_;
  std::thread thread_;  // last: starts when everything else exists
};

}  // namespace specterm
