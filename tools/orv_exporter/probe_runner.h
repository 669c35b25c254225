// Runs probes on worker threads so that an answer never waits past its
// deadline: a printer that stops answering costs the scraper nothing beyond
// its time-out. A probe that misses its deadline is told to stop and
// finishes in the background. The workers stay for the next probes (a new
// thread per probe cost more CPU than the probe's own work outside the
// exchanges); there are as many as probes ever ran at once, and the runner
// joins them all before it is destroyed.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "printer_probe.h"

namespace orv_exporter {

using Clock = std::chrono::steady_clock;

// The library's time-out for one try so that an open of a silent printer,
// all tries included, ends by the deadline: the time left shared among the
// tries, at least kMinTryMs and at most kMaxTryMs.
inline constexpr uint32_t kMinTryMs = 50;
inline constexpr uint32_t kMaxTryMs = 2000;
uint32_t try_timeout_ms(Clock::duration budget, uint32_t retries);

class ProbeRunner {
 public:
  explicit ProbeRunner(ModelBook& models) : models_(models) {}
  ~ProbeRunner();
  ProbeRunner(const ProbeRunner&) = delete;
  ProbeRunner& operator=(const ProbeRunner&) = delete;

  // The probe's data, or a probe that timed out (ORV_ERR_TIMEOUT) when it
  // has not finished by `deadline`; a target `rules` refuse is never sent to
  // (the data's refusal says why).
  ProbeData run(const std::string& target, const orvctl::RequestSettings& request,
                Clock::time_point deadline, const TargetRules& rules = {});

 private:
  struct Job {
    std::string target;
    orvctl::RequestSettings settings;
    TargetRules rules;
    std::mutex mutex;
    std::condition_variable finished_cv;
    bool finished = false;
    std::atomic<bool> abandoned{false};
    ProbeData data;
  };

  void work();

  ModelBook& models_;
  std::mutex mutex_;
  std::condition_variable queued_cv_;
  std::deque<std::shared_ptr<Job>> queue_;
  size_t idle_ = 0;
  bool stopping_ = false;
  std::vector<std::thread> workers_;
};

}  // namespace orv_exporter
