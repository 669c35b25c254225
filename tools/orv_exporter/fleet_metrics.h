// The fleet's metrics of one probe: page counters per marker, every supply
// with its type and colorant, and the overall printer state as a state set.
#pragma once

#include <cstdint>
#include <string>

#include "printer_probe.h"

namespace orv_exporter {

// Their text exposition; empty when the probe read none of them.
std::string fleet_exposition(const ProbeData& data);

// A supply's level as a share of its capacity; negative when either is not
// a quantity (-1 other, -2 unknown, -3 some left).
double supply_ratio(const OrvSupplyInfo& supply);

// Label values: the MIB's name alone ("toner", "impressions"), or the code
// in digits when it has none.
std::string supply_type_label(int32_t code);
std::string counter_unit_label(int32_t code);
// True for the counter units that count pages (impressions, sheets).
bool counts_pages(int32_t counter_unit);
// A Counter32 the printer did not give reads all bits set.
inline constexpr uint32_t kCounterNotGiven = UINT32_MAX;

}  // namespace orv_exporter
