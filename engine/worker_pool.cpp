// The pool's threads.
#include "engine/worker_pool.h"

#include <algorithm>
#include <utility>

namespace sorrel {

WorkerPool::WorkerPool(size_t threads) {
  for (size_t i = 0; i < threads; ++i) {
    threads_.emplace_back([this] { Serve(); });
  }
}

WorkerPool::~WorkerPool() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

void WorkerPool::Run(std::function<void()> task) {
  if (threads_.empty()) {
    task();
    return;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  wake_.notify_one();
}

size_t WorkerPool::DefaultSize() {
  const size_t cores = std::max<unsigned>(std::thread::hardware_concurrency(), 1);
  return std::min<size_t>(cores, 8);
}

void WorkerPool::Serve() {
  for (;;) {
    std::unique_lock<std::mutex> lock(mutex_);
    wake_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
    if (tasks_.empty()) return;  // stopping, with nothing left to run
    std::function<void()> task = std::move(tasks_.front());
    tasks_.pop_front();
    lock.unlock();
    task();
  }
}

}  // namespace sorrel
