// Printer texts as UTF-8. A printer says which character set its texts are
// in (an IANA MIBenum, OrvGetCharSet); Prometheus labels and JSON need
// UTF-8, so every text a tool shows passes through here first.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvctl {

inline constexpr int32_t kMibEnumUtf8 = 106;

// The iconv name of an IANA MIBenum (3 US-ASCII, 4 ISO-8859-1, 17 Shift_JIS,
// 106 UTF-8, 2026 Big5, ...); nullptr for one this table does not hold.
const char* iconv_charset_name(int32_t mib_enum);

// `bytes` converted from the set `mib_enum` to UTF-8; what does not convert
// becomes U+FFFD, one for each byte skipped. An unknown set is read as UTF-8.
std::string printer_text_utf8(std::string_view bytes, int32_t mib_enum);

// True when every byte is below 0x80: such a text reads the same in every
// set a printer uses, so it needs neither the set nor a conversion.
bool is_ascii(std::string_view bytes);

}  // namespace orvctl
