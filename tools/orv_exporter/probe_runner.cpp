#include "probe_runner.h"

#include <algorithm>
#include <utility>

#include "name_lookup.h"

namespace orv_exporter {
namespace {

// The probe of `job`, with a host name looked up first within its deadline.
ProbeData probe_job(const std::string& target, const orvctl::RequestSettings& settings,
                    Clock::time_point deadline, const TargetRules& rules,
                    const std::atomic<bool>& abandoned, ModelBook& models) {
  const bool name = target.find(':') == std::string::npos &&
                    target.find_first_not_of("0123456789.") != std::string::npos;
  if (!name) return probe_printer(target, settings, abandoned, models, rules);
  std::string address;
  switch (lookup_before(target, deadline, address)) {
    case LookupEnd::kFound:
      return probe_printer(address, settings, abandoned, models, rules);
    case LookupEnd::kFailed:
      return probe_printer(target, settings, abandoned, models, rules);  // its own words
    case LookupEnd::kLate:
      break;
  }
  ProbeData late;
  late.open_result = ORV_ERR_TIMEOUT;
  late.open_problem = "the name lookup of \"" + target + "\" did not end within the time-out";
  return late;
}

}  // namespace

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
    ++busy_;
    lock.unlock();
    ProbeData data =
        probe_job(job->target, job->settings, job->deadline, job->rules, job->abandoned, models_);
    if (job->abandoned && on_late_) on_late_();
    {
      std::lock_guard job_lock(job->mutex);
      job->data = std::move(data);
      job->finished = true;
    }
    job->finished_cv.notify_all();
    lock.lock();
    --busy_;
  }
}

ProbeData ProbeRunner::run(const std::string& target, const orvctl::RequestSettings& request,
                           Clock::time_point deadline, const TargetRules& rules) {
  std::optional<ProbeData> data = try_run(target, request, deadline, rules);
  if (data) return std::move(*data);
  ProbeData refused;
  refused.open_result = ORV_ERR_TIMEOUT;
  refused.open_problem = "every probe worker is busy";
  return refused;
}

std::optional<ProbeData> ProbeRunner::try_run(const std::string& target,
                                              const orvctl::RequestSettings& request,
                                              Clock::time_point deadline,
                                              const TargetRules& rules) {
  const auto start = Clock::now();
  auto job = std::make_shared<Job>();
  job->target = target;
  job->settings = request;
  job->rules = rules;
  job->deadline = deadline;
  job->settings.timeout_ms = try_timeout_ms(deadline - start, request.retries);
  {
    std::lock_guard lock(mutex_);
    if (busy_ + queue_.size() >= max_workers_) return std::nullopt;
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
