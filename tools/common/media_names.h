// Words for the numbers the library reports about input trays.
#pragma once

#include <cstdint>
#include <string>

namespace orvctl {

// Common name of a medium size code ("A4", "Letter"); empty when the code has
// none (the library's "unknown" code included).
std::string medium_size_name(int32_t code);

// Name of a prtInputType value ("removable tray"); empty when unknown.
std::string input_type_name(int32_t type);

// Name of a medium direction value: short- or long-edge feed; empty when
// the direction is unknown.
std::string medium_direction_name(int32_t direction);

}  // namespace orvctl
