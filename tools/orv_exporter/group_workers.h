// A few threads that stay for the whole run and read the second and third
// table groups of probes (probe_tables.h): a thread started per group cost
// memory that grew with the probes at once.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "printer_session.h"

namespace orv_exporter {

class GroupWorkers {
 public:
  // The exporter's one set, started at first use, joined at exit.
  static GroupWorkers& shared();
  explicit GroupWorkers(size_t threads);
  ~GroupWorkers();
  GroupWorkers(const GroupWorkers&) = delete;
  GroupWorkers& operator=(const GroupWorkers&) = delete;

  // Runs `task` on the next free thread.
  std::future<orvctl::HandlePtr> run(std::function<orvctl::HandlePtr()> task);

 private:
  void work();

  std::mutex mutex_;
  std::condition_variable queued_cv_;
  std::deque<std::packaged_task<orvctl::HandlePtr()>> queue_;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace orv_exporter
