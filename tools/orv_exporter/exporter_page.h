// The pages the exporter serves to a person rather than to Prometheus.
#pragma once

#include <string>

namespace orv_exporter {

// "/": what the exporter serves, with links.
const std::string& index_page();

}  // namespace orv_exporter
