// Writes what one probe read as a Prometheus text exposition.
#pragma once

#include <string>

#include "printer_probe.h"

namespace orv_exporter {

inline constexpr const char* kExpositionType = "text/plain; version=0.0.4; charset=utf-8";

std::string probe_exposition(const ProbeData& data);

}  // namespace orv_exporter
