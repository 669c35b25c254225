#include "exporter_metrics.h"

#include <prometheus/text_serializer.h>

#include <chrono>

#include "process_metrics.h"

#ifndef ORV_EXPORTER_REVISION
#define ORV_EXPORTER_REVISION "unknown"
#endif

namespace orv_exporter {
namespace {

#if defined(__clang__)
constexpr const char* kCompiler = "clang " __clang_version__;
#else
constexpr const char* kCompiler = "gcc " __VERSION__;
#endif

double now_seconds() {
  return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}

template <typename Builder>
auto& family(Builder builder, prometheus::Registry& registry, const char* name, const char* help) {
  return builder.Name(name).Help(help).Register(registry);
}

}  // namespace

ExporterMetrics::ExporterMetrics(const std::string& version)
    : registry_(std::make_shared<prometheus::Registry>()),
      probes_(family(prometheus::BuildCounter(), *registry_, "orv_exporter_probes_total",
                     "Probes answered.")),
      probe_failures_(family(prometheus::BuildCounter(), *registry_,
                             "orv_exporter_probe_failures_total",
                             "Probes whose printer could not be opened, by result code.")),
      probe_seconds_(family(prometheus::BuildHistogram(), *registry_,
                            "orv_exporter_probe_duration_seconds", "How long probes took.")),
      probes_running_(family(prometheus::BuildGauge(), *registry_, "orv_exporter_probes_running",
                             "Probes being answered now.")
                          .Add({})),
      discovery_runs_(family(prometheus::BuildCounter(), *registry_,
                             "orv_exporter_discovery_runs_total",
                             "Searches of the network made for /discover.")
                          .Add({})),
      discovery_failures_(family(prometheus::BuildCounter(), *registry_,
                                 "orv_exporter_discovery_search_failures_total",
                                 "Broadcast searches that failed.")
                              .Add({})),
      discovered_(family(prometheus::BuildGauge(), *registry_, "orv_exporter_discovered_printers",
                         "Supported printers the last search found.")
                      .Add({})),
      requests_(family(prometheus::BuildCounter(), *registry_, "orv_exporter_http_requests_total",
                       "HTTP requests by handler and status code.")),
      probes_refused_(family(prometheus::BuildCounter(), *registry_,
                             "orv_exporter_probes_refused_total",
                             "Probes answered 503 because --probe.max-concurrency were running.")
                          .Add({})),
      probes_outlived_(family(prometheus::BuildCounter(), *registry_,
                              "orv_exporter_probes_outlived_deadline_total",
                              "Probes whose work went on after their answer was due.")
                           .Add({})),
      reload_success_(family(prometheus::BuildGauge(), *registry_,
                             "orv_exporter_config_last_reload_successful",
                             "Whether the last configuration reload succeeded.")
                          .Add({})),
      reload_time_(family(prometheus::BuildGauge(), *registry_,
                          "orv_exporter_config_last_reload_success_timestamp_seconds",
                          "When the configuration was last loaded successfully.")
                       .Add({})) {
  family(prometheus::BuildGauge(), *registry_, "orv_exporter_build_info",
         "The exporter's version, source revision and compiler; always 1.")
      .Add({{"version", version}, {"revision", ORV_EXPORTER_REVISION}, {"compiler", kCompiler}})
      .Set(1);
  reloaded(true);
  probes_.Add({});
}

void ExporterMetrics::probe_started() { probes_running_.Increment(); }

void ExporterMetrics::probe_finished(int32_t result, double seconds) {
  probes_running_.Decrement();
  probes_.Add({}).Increment();
  if (result != 0) probe_failures_.Add({{"code", std::to_string(result)}}).Increment();
  static const prometheus::Histogram::BucketBoundaries kBuckets = {0.05, 0.1, 0.25, 0.5, 1,
                                                                   2.5,  5,   10,   30};
  probe_seconds_.Add({}, kBuckets).Observe(seconds);
}

void ExporterMetrics::discovery_run(size_t printers, size_t failed_searches) {
  discovery_runs_.Increment();
  discovery_failures_.Increment(static_cast<double>(failed_searches));
  discovered_.Set(static_cast<double>(printers));
}

void ExporterMetrics::request(const std::string& handler, int status) {
  requests_.Add({{"handler", handler}, {"code", std::to_string(status)}}).Increment();
}

void ExporterMetrics::probe_refused() {
  probes_running_.Decrement();
  probes_refused_.Increment();
}

void ExporterMetrics::probe_outlived() { probes_outlived_.Increment(); }

void ExporterMetrics::reloaded(bool success) {
  reload_success_.Set(success ? 1 : 0);
  if (success) reload_time_.Set(now_seconds());
}

std::string ExporterMetrics::exposition() const {
  std::vector<prometheus::MetricFamily> families = registry_->Collect();
  for (auto& process : process_families()) families.push_back(std::move(process));
  return prometheus::TextSerializer().Serialize(families);
}

}  // namespace orv_exporter
