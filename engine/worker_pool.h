// A few threads that run a job's work in the background: converting files
// while the walk reads the next ones and writes the last ones.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace sorrel {

class WorkerPool {
 public:
  // With no threads, every task runs at once on the thread that gives it.
  explicit WorkerPool(size_t threads);
  // Runs every task given before it returns.
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  // Gives task to the first free thread and returns at once (or runs it,
  // without threads). A task must not throw.
  void Run(std::function<void()> task);

  // As many threads as make the machine's cores busy while some of them
  // wait on the disk.
  static size_t DefaultSize();

 private:
  void Serve();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> tasks_;
  std::vector<std::thread> threads_;
  bool stopping_ = false;
};

}  // namespace sorrel
