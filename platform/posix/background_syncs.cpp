// The threads that sync files.
#include "platform/posix/background_syncs.h"

#include <cerrno>

#include "platform/posix/posix_file_io.h"

namespace sorrel::platform {

BackgroundSyncs::~BackgroundSyncs() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

std::future<int> BackgroundSyncs::Sync(int fd) {
  std::promise<int> promise;
  std::future<int> result = promise.get_future();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.emplace_back(fd, std::move(promise));
    if (idle_ < queue_.size() && threads_.size() < kThreads) {
      threads_.emplace_back([this] { Serve(); });
    }
  }
  wake_.notify_one();
  return result;
}

void BackgroundSyncs::Serve() {
  for (;;) {
    std::unique_lock<std::mutex> lock(mutex_);
    ++idle_;
    wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    --idle_;
    if (queue_.empty()) return;  // stopping, with nothing left to sync
    auto [fd, promise] = std::move(queue_.front());
    queue_.pop_front();
    lock.unlock();
    promise.set_value(calls_.Fsync(fd) == 0 ? 0 : LastErrno());
  }
}

}  // namespace sorrel::platform
