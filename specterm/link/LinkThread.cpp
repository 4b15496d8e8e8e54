#include "link/LinkThread.h"

namespace specterm {

LinkThread::HandleCloser::HandleCloser() : thread_([this] { Loop(); }) {}

LinkThread::HandleCloser::~HandleCloser() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void LinkThread::HandleCloser::Close(HINTERNET handle) {
  {
    std::lock_guard lock(mutex_);
    handles_.push_back(handle);
  }
  wake_.notify_all();
}

void LinkThread::HandleCloser::Loop() {
  for (;;) {
    HINTERNET handle = nullptr;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !handles_.empty(); });
      if (handles_.empty()) return;
      handle = handles_.front();
      handles_.pop_front();
    }
    // A handle closed meanwhile by its owner is refused harmlessly.
    InternetCloseHandle(handle);
  }
}

LinkThread::SessionRetirer::SessionRetirer() : thread_([this] { Loop(); }) {}

LinkThread::SessionRetirer::~SessionRetirer() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void LinkThread::SessionRetirer::Retire(std::unique_ptr<FTP_Server> session, std::chrono::milliseconds wait) {
  if (!session) return;
  std::unique_lock lock(mutex_);
  sessions_.push_back(std::move(session));
  const std::uint64_t ticket = ++queued_;
  wake_.notify_all();
  done_.wait_for(lock, wait, [&] { return finished_ >= ticket; });
}

void LinkThread::SessionRetirer::Loop() {
  for (;;) {
    std::unique_ptr<FTP_Server> session;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !sessions_.empty(); });
      if (sessions_.empty()) return;
      session = std::move(sessions_.front());
      sessions_.pop_front();
    }
    session.reset();
    {
      std::lock_guard lock(mutex_);
      ++finished_;
    }
    done_.notify_all();
  }
}

LinkThread::LinkThread() : thread_([this] { Loop(); }) {}

LinkThread::~LinkThread() {
  Abandon();
  Release();
  Push({Kind::Stop, 0, {}, {}});
  thread_.join();
}

void LinkThread::Push(Job job) {
  {
    std::lock_guard lock(mutex_);
    jobs_.push_back(std::move(job));
  }
  wake_.notify_all();
}

void LinkThread::Adopt(std::unique_ptr<FTP_Server> session) { Push({Kind::Adopt, 0, {}, std::move(session)}); }

void LinkThread::Release() { Push({Kind::Release, 0, {}, {}}); }

void LinkThread::Post(Work work) { Push({Kind::Work, generation_.load(), std::move(work), {}}); }

bool LinkThread::Abandoned() const { return running_.load() != generation_.load(); }

bool LinkThread::PauseFor(std::chrono::milliseconds pause) {
  std::unique_lock lock(pauseMutex_);
  return !pauseWake_.wait_for(lock, pause, [this] { return Abandoned(); });
}

void LinkThread::Abandon() {
  generation_.fetch_add(1);
  // The link thread publishes the session it works with before it checks
  // the generation; so either it sees the new generation and skips the
  // work, or the handle is seen here and closed.
  if (HINTERNET handle = active_.load()) closer_.Close(handle);
  { std::lock_guard lock(pauseMutex_); }
  pauseWake_.notify_all();
}

void LinkThread::Loop() {
  for (;;) {
    Job job;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return !jobs_.empty(); });
      job = std::move(jobs_.front());
      jobs_.pop_front();
    }
    switch (job.kind) {
      case Kind::Stop:
        session_.reset();
        return;
      case Kind::Adopt:
        retirer_.Retire(std::move(session_), kReleaseWait);
        session_ = std::move(job.session);
        break;
      case Kind::Release:
        retirer_.Retire(std::move(session_), kReleaseWait);
        break;
      case Kind::Work:
        running_.store(job.generation);
        active_.store(session_ ? session_->SessionHandle() : nullptr);
        if (!Abandoned()) job.work(session_.get());
        active_.store(nullptr);
        break;
    }
  }
}

}  // namespace specterm
