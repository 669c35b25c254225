#include "probe_runner.h"

#include <algorithm>
#include <utility>

namespace orv_exporter {

uint32_t try_timeout_ms(Clock::duration budget, uint32_t retries) {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(budget).count();
  const int64_t per_try = ms / (static_cast<int64_t>(retries) + 1);
  return static_cast<uint32_t>(std::clamp<int64_t>(per_try, kMinTryMs, kMaxTryMs));
}

ProbeRunner::~ProbeRunner() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    for (const auto& job : queue_) job->abandoned = true;
  }
  queued_cv_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

void ProbeRunner::work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    ++idle_;
    queued_cv_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    --idle_;
    if (queue_.empty()) return;  // stopping, nothing left
    std::shared_ptr<Job> job = std::move(queue_.front());
    queue_.pop_front();
    lock.unlock();
    ProbeData data = probe_printer(job->target, job->settings, job->abandoned, models_, job->rules);
    {
      std::lock_guard job_lock(job->mutex);
      job->data = std::move(data);
      job->finished = true;
    }
    job->finished_cv.notify_all();
    lock.lock();
  }
}

ProbeData ProbeRunner::run(const std::string& target, const orvctl::RequestSettings& request,
                           Clock::time_point deadline, const TargetRules& rules) {
  const auto start = Clock::now();
  auto job = std::make_shared<Job>();
  job->target = target;
  job->settings = request;
  job->rules = rules;
  job->settings.timeout_ms = try_timeout_ms(deadline - start, request.retries);
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(job);
    // Every queued probe finds a worker at once: one more when none idles.
    if (idle_ < queue_.size()) workers_.emplace_back([this] { work(); });
  }
  queued_cv_.notify_one();
  std::unique_lock job_lock(job->mutex);
  if (job->finished_cv.wait_until(job_lock, deadline, [&] { return job->finished; })) {
    return std::move(job->data);  // the worker is done with it
  }
  job->abandoned = true;
  ProbeData late;
  late.open_result = ORV_ERR_TIMEOUT;
  late.open_problem = "the probe did not finish within the scrape time-out";
  late.duration_seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return late;
}

}  // namespace orv_exporter
