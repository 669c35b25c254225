// Words for the codes of the status records: the Host Resources and
// Printer MIB names people know them by.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "code_names.h"

namespace orvctl {

// Each gives the MIB's name, or "unknown (CODE)" for a code it has none for.
std::string storage_type_name(int32_t code);
std::string device_type_name(int32_t code);
std::string device_status_name(int32_t code);
std::string printer_status_name(int32_t code);
std::string output_type_name(int32_t code);
std::string alert_severity_name(int32_t code);
std::string alert_group_name(int32_t code);
std::string char_set_name(int32_t mib_enum);
// A job's state: "completed (17)" for 17, the job kinds' done state;
// others as their number (the printer's own meanings).
std::string job_state_name(int32_t state);

// A tray's status (the Printer MIB's sub-unit status: availability in the
// low three bits, then alerts, off-line and transitioning) in words, e.g.
// "available and idle (0)", "unavailable because broken, critical alerts,
// off-line (51)"; "unknown (CODE)" for a negative code.
std::string sub_unit_status_name(int32_t code);

// The names of the bits set in hrPrinterDetectedErrorState ("lowPaper",
// "doorOpen", ...); a set bit without a name is "bitN" (bit 0 is the first
// octet's highest).
std::vector<std::string> error_state_names(const uint8_t* octets, size_t count);

// The name of bit `bit` of hrPrinterDetectedErrorState ("bitN" past the
// named ones), and how many bits have a name.
std::string error_state_bit_name(size_t bit);
size_t named_error_state_bits();

// A level against its maximum as people read it: a percent where both are
// known, "unknown" for -2, "some left" for -3, "other" for -1, the bare
// level when the maximum is not known. A percent above 100 reads 100%.
std::string level_text(int32_t level, int32_t max);

// A percent as people read it: "unknown" when negative, at most "100%".
std::string percent_text(int64_t percent);

// "NAME (CODE)", or "unknown (CODE)" when the name is empty.
std::string with_code(const std::string& name, int32_t code);

// The code's name in `table` with the code, as with_code.
template <typename Table>
std::string named(const Table& table, int32_t code) {
  return with_code(lookup(table, code), code);
}

}  // namespace orvctl
