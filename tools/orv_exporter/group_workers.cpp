#include "group_workers.h"

#include <utility>

namespace orv_exporter {
namespace {

// Two groups a probe: sixteen threads keep eight probes' groups going at
// once; more probes wait their turn, bounded by their deadline.
constexpr size_t kSharedThreads = 16;

}  // namespace

GroupWorkers& GroupWorkers::shared() {
  static GroupWorkers workers(kSharedThreads);
  return workers;
}

GroupWorkers::GroupWorkers(size_t threads) {
  for (size_t i = 0; i < threads; ++i) threads_.emplace_back([this] { work(); });
}

GroupWorkers::~GroupWorkers() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  queued_cv_.notify_all();
  for (std::thread& t : threads_) t.join();
}

std::future<orvctl::HandlePtr> GroupWorkers::run(std::function<orvctl::HandlePtr()> task) {
  std::packaged_task<orvctl::HandlePtr()> packaged(std::move(task));
  std::future<orvctl::HandlePtr> result = packaged.get_future();
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(packaged));
  }
  queued_cv_.notify_one();
  return result;
}

void GroupWorkers::work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    queued_cv_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    if (queue_.empty()) return;
    std::packaged_task<orvctl::HandlePtr()> task = std::move(queue_.front());
    queue_.pop_front();
    lock.unlock();
    task();
    lock.lock();
  }
}

}  // namespace orv_exporter
