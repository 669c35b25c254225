// The simulated printers whose first tray is named in another character set
// (tests/data), with that name as every tool must show it: UTF-8, and U+FFFD
// for bytes that are not text in the printer's set.
#pragma once

#include <utility>

namespace orv::test {

inline constexpr std::pair<const char*, const char*> kCharsetPrinters[] = {
    {"printer-latin1", "Tray \u00ff\u00fe \u00c3("},      // ISO-8859-1
    {"printer-sjis", "\u30c8\u30ec\u30a4\uff11"},          // Shift_JIS
    {"printer-badutf8", "Tray \ufffd\ufffd \ufffd("}};  // UTF-8, invalid bytes

}  // namespace orv::test
