// Words for the codes of markers and supplies: the Printer MIB's names, as
// Prometheus labels and the fleet page use them.
#pragma once

#include <cstdint>
#include <string>

namespace orvctl {

// Each gives the MIB's name, or the code in digits when it has none.
// prtMarkerSuppliesType ("toner", "wasteToner", "opc", ...).
std::string supply_type_name(int32_t code);
// prtMarkerSuppliesClass ("supplyThatIsConsumed", "receptacleThatIsFilled").
std::string supply_class_name(int32_t code);
// prtMarkerCounterUnit ("impressions", "sheets", "meters", ...).
std::string counter_unit_name(int32_t code);
// True for the units that count pages (impressions, sheets).
bool counter_unit_counts_pages(int32_t code);

}  // namespace orvctl
