// Text forms of the address kinds: parsing and printing as pure functions.
#pragma once

#include <cstdint>

namespace orv::smi {

inline constexpr uint32_t kIpv4Octets = 4;
inline constexpr uint32_t kIpv6Octets = 16;
inline constexpr uint32_t kIpxOctets = 10;  // 4-octet network, 6-octet node

// Text sizes, terminator included.
inline constexpr uint32_t kIpv4TextSize = 16;       // 255.255.255.255
inline constexpr uint32_t kIpv6TextSize = 40;       // ffff:...:ffff
inline constexpr uint32_t kIpv4PortTextSize = 22;   // 255.255.255.255/65535
inline constexpr uint32_t kIpxTextSize = 27;        // 8 hex:12 hex/ffff

// The text begins with four dotted decimal numbers of 0..255; what follows
// them is left to the caller through `rest` (optional).
bool parse_ipv4_prefix(const char* text, uint8_t octets[kIpv4Octets], const char** rest);
// Exactly eight groups of 1..4 hex digits separated by ':' (no "::").
bool parse_ipv6_text(const char* text, uint8_t octets[kIpv6Octets]);
// "a.b.c.d/port", all five numbers, the port at most 65535, nothing after.
bool parse_ipv4_port_text(const char* text, uint8_t octets[kIpv4Octets], uint16_t* port);
// "nnnnnnnn:hhhhhhhhhhhh/socket": ten fields of one or two hex digits, then
// the socket in hex (at most ffff), nothing after.
bool parse_ipx_text(const char* text, uint8_t octets[kIpxOctets], uint16_t* socket);

// Each writes the terminated text and returns its length.
uint32_t format_ipv4(const uint8_t octets[kIpv4Octets], char out[kIpv4TextSize]);
uint32_t format_ipv6(const uint8_t octets[kIpv6Octets], char out[kIpv6TextSize]);
uint32_t format_ipv4_port(const uint8_t octets[kIpv4Octets], uint16_t port, char out[kIpv4PortTextSize]);
uint32_t format_ipx(const uint8_t octets[kIpxOctets], uint16_t socket, char out[kIpxTextSize]);

}  // namespace orv::smi
