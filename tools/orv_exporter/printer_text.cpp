#include "printer_text.h"

namespace orv_exporter {

// The bytes as they came; the printers of the simulated network send ASCII.
std::string printer_text(std::string_view bytes) { return std::string(bytes); }

}  // namespace orv_exporter
