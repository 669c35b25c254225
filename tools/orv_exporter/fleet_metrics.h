// The fleet's metrics of one probe: page counters per marker, every supply
// with its type and colorant, and the overall printer state as a state set.
#pragma once

#include <string>

#include "printer_probe.h"

namespace orv_exporter {

// Their text exposition; empty when the probe read none of them.
std::string fleet_exposition(const ProbeData& data);

// A supply's level as a share of its capacity; negative when either is not
// a quantity (-1 other, -2 unknown, -3 some left).
double supply_ratio(const OrvSupplyInfo& supply);

}  // namespace orv_exporter
