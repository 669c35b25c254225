// Runs probes on threads of their own so that an answer never waits past
// its deadline: a printer that stops answering costs the scraper nothing
// beyond its time-out. A probe that misses its deadline is told to stop
// and finishes in the background; the runner joins every probe thread it
// started before it is destroyed.
#pragma once

#include <chrono>
#include <condition_variable>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

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
  // has not finished by `deadline`.
  ProbeData run(const std::string& target, const orvctl::RequestSettings& request,
                Clock::time_point deadline);

 private:
  struct Job {
    std::mutex mutex;
    std::condition_variable finished_cv;
    bool finished = false;
    std::atomic<bool> abandoned{false};
    ProbeData data;
    std::thread thread;
  };

  // Joins the threads of finished probes.
  void reap();

  ModelBook& models_;
  std::mutex mutex_;
  std::list<std::shared_ptr<Job>> jobs_;
};

}  // namespace orv_exporter
