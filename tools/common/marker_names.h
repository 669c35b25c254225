// Words for the codes of the marker and supply records: the Printer MIB's
// names, "NAME (CODE)", or "unknown (CODE)" for a code it has no name for.
#pragma once

#include <cstdint>
#include <string>

namespace orvctl {

std::string marking_technology_name(int32_t code);
std::string counter_unit_name(int32_t code);
std::string supply_class_name(int32_t code);
std::string supply_type_name(int32_t code);
std::string supply_unit_name(int32_t code);

// The MIB's name alone ("toner", "opc", ...), empty when it has none.
std::string supply_type_word(int32_t code);

}  // namespace orvctl
