#include "exporter_metrics.h"

#include <prometheus/text_serializer.h>

namespace orv_exporter {
namespace {

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
                       "HTTP requests by handler and status code.")) {
  family(prometheus::BuildGauge(), *registry_, "orv_exporter_build_info",
         "The exporter's version; always 1.")
      .Add({{"version", version}})
      .Set(1);
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

std::string ExporterMetrics::exposition() const {
  return prometheus::TextSerializer().Serialize(registry_->Collect());
}

}  // namespace orv_exporter
