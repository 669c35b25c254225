// Every text a printer sent that the exporter shows, in a label or on a
// page, passes through printer_text(), the one place that decides how the
// printer's bytes become the exporter's text.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace orv_exporter {

std::string printer_text(std::string_view bytes);

// A record's fixed-width field, never read past its end.
template <size_t N>
std::string printer_text(const char (&field)[N]) {
  return printer_text(std::string_view(field, strnlen(field, N)));
}

}  // namespace orv_exporter
