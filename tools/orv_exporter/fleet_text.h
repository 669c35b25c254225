// Every text a printer sent that the fleet metrics and pages show, in a
// label or on a page, passes through fleet_text(): the printer's bytes in
// its character set, as UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "printer_text.h"

namespace orv_exporter {

inline std::string fleet_text(std::string_view bytes, int32_t char_set) {
  return orvctl::printer_text_utf8(bytes, char_set);
}

// A record's fixed-width field, never read past its end.
template <size_t N>
std::string fleet_text(const char (&field)[N], int32_t char_set) {
  return fleet_text(std::string_view(field, strnlen(field, N)), char_set);
}

}  // namespace orv_exporter
