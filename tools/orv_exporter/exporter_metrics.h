// The exporter's own metrics, served on /metrics: probes, failed probes by
// result code, discovery runs and what they found, requests by path,
// reloads, and the process_* metrics.
#pragma once

#include <prometheus/counter.h>
#include <prometheus/gauge.h>
#include <prometheus/histogram.h>
#include <prometheus/registry.h>

#include <cstdint>
#include <memory>
#include <string>

namespace orv_exporter {

class ExporterMetrics {
 public:
  explicit ExporterMetrics(const std::string& version);

  void probe_started();
  void probe_finished(int32_t result, double seconds);
  void discovery_run(size_t printers, size_t failed_searches);
  void request(const std::string& handler, int status);
  void probe_refused();   // after probe_started(): every worker was busy
  void probe_outlived();  // a probe's work went on past its deadline
  void reloaded(bool success);

  std::string exposition() const;

 private:
  std::shared_ptr<prometheus::Registry> registry_;
  prometheus::Family<prometheus::Counter>& probes_;
  prometheus::Family<prometheus::Counter>& probe_failures_;
  prometheus::Family<prometheus::Histogram>& probe_seconds_;
  prometheus::Gauge& probes_running_;
  prometheus::Counter& discovery_runs_;
  prometheus::Counter& discovery_failures_;
  prometheus::Gauge& discovered_;
  prometheus::Family<prometheus::Counter>& requests_;
  prometheus::Counter& probes_refused_;
  prometheus::Counter& probes_outlived_;
  prometheus::Gauge& reload_success_;
  prometheus::Gauge& reload_time_;
};

}  // namespace orv_exporter
