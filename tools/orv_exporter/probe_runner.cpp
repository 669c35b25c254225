#include "probe_runner.h"

#include <algorithm>

namespace orv_exporter {

uint32_t try_timeout_ms(Clock::duration budget, uint32_t retries) {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(budget).count();
  const int64_t per_try = ms / (static_cast<int64_t>(retries) + 1);
  return static_cast<uint32_t>(std::clamp<int64_t>(per_try, kMinTryMs, kMaxTryMs));
}

ProbeRunner::~ProbeRunner() {
  std::list<std::shared_ptr<Job>> jobs;
  {
    std::lock_guard lock(mutex_);
    jobs.swap(jobs_);
  }
  for (const auto& job : jobs) {
    job->abandoned = true;
    if (job->thread.joinable()) job->thread.join();
  }
}

void ProbeRunner::reap() {
  std::list<std::shared_ptr<Job>> done;
  {
    std::lock_guard lock(mutex_);
    for (auto it = jobs_.begin(); it != jobs_.end();) {
      std::lock_guard job_lock((*it)->mutex);
      if ((*it)->finished) {
        done.push_back(*it);
        it = jobs_.erase(it);
      } else {
        ++it;
      }
    }
  }
  for (const auto& job : done) job->thread.join();
}

ProbeData ProbeRunner::run(const std::string& target, const orvctl::RequestSettings& request,
                           Clock::time_point deadline) {
  reap();
  const auto start = Clock::now();
  auto job = std::make_shared<Job>();
  orvctl::RequestSettings settings = request;
  settings.timeout_ms = try_timeout_ms(deadline - start, settings.retries);
  {
    std::lock_guard lock(mutex_);
    jobs_.push_back(job);
    // The job owns its own data; the list keeps it alive until joined.
    job->thread = std::thread([this, job, target, settings] {
      ProbeData data = probe_printer(target, settings, job->abandoned, models_);
      std::lock_guard job_lock(job->mutex);
      job->data = std::move(data);
      job->finished = true;
      job->finished_cv.notify_all();
    });
  }
  std::unique_lock job_lock(job->mutex);
  if (job->finished_cv.wait_until(job_lock, deadline, [&] { return job->finished; })) {
    return job->data;
  }
  job->abandoned = true;
  ProbeData late;
  late.open_result = ORV_ERR_TIMEOUT;
  late.open_problem = "the probe did not finish within the scrape time-out";
  late.duration_seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return late;
}

}  // namespace orv_exporter
