// IPv6 group texts for the multicast membership record: "::" is expanded to
// the zero groups it stands for, then eight groups of hex digits are read.
#pragma once

#include <cstdint>
#include <string>

#include "result_codes.h"

namespace orv::session {

// Longest text read when it has no "::".
inline constexpr size_t kIpv6GroupTextLimit = 43;

// "ff02::1" -> "ff02:0:0:0:0:0:0:1", "::1" -> "0:0:0:0:0:0:0:1". A text
// without "::" comes back cut to 43 characters. False when the text holds
// more than eight groups or more than one "::".
bool expand_ipv6_group_text(const char* text, std::string* expanded);

// The 16 address bytes, each group high byte first. -2 for a null or
// unreadable text, fewer than eight groups, or a group above ffff; a scope
// ("%e0") after the eighth group is ignored.
Result parse_ipv6_group(const char* text, uint8_t (&address)[16]);

}  // namespace orv::session
