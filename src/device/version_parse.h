// Reading the three numbers of a printer controller's version text.
#pragma once

#include <cstdint>

namespace orv::device {

// The form the device-10 description of a supported printer takes.
inline constexpr const char kRomVersionPattern[] = "Printer Controller v%d.%d.%d - Processor";

// Matches `text` against kRomVersionPattern as the C library's scanf would:
// literal characters must match, a blank matches any run of white space
// (none included), each number may be preceded by white space and carry a
// sign. The text after the third number is not examined. True with the
// three numbers written; false (nothing written) when fewer were read or a
// number does not fit 32 bits.
bool parse_rom_version(const char* text, int32_t* major, int32_t* minor, int32_t* revision);

}  // namespace orv::device
