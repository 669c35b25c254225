// The process_* metrics every Prometheus exporter serves: CPU time,
// memory, descriptors and start time, read from /proc at each scrape.
#pragma once

#include <prometheus/metric_family.h>

#include <vector>

namespace orv_exporter {

std::vector<prometheus::MetricFamily> process_families();

}  // namespace orv_exporter
