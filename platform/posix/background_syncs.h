// Syncs files on a few threads of their own, so that the syncs of several
// files overlap and the file system can commit them together, and a run
// need not wait for each in turn.
#pragma once

#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/posix/posix_file_system.h"

namespace sorrel::platform {

class BackgroundSyncs {
 public:
  explicit BackgroundSyncs(PosixCalls& calls) : calls_(calls) {}
  // Waits for every sync it was given.
  ~BackgroundSyncs();
  BackgroundSyncs(const BackgroundSyncs&) = delete;
  BackgroundSyncs& operator=(const BackgroundSyncs&) = delete;

  // Syncs fd, which must stay open until the result is had: 0, or the
  // error of the sync. The threads start with the first call.
  std::future<int> Sync(int fd);

 private:
  static constexpr size_t kThreads = 8;

  void Serve();

  PosixCalls& calls_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::pair<int, std::promise<int>>> queue_;
  std::vector<std::thread> threads_;
  size_t idle_ = 0;  // threads waiting for work
  bool stopping_ = false;
};

}  // namespace sorrel::platform
