// Pure text forms of addresses: recognising, printing and normalising them
// without any lookup, so both resolver variants and the interface questions
// share one definition of each form.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "net/network_address.h"
#include "result_codes.h"

namespace orv::net {

inline constexpr size_t kIpxTextLength = 21;  // 8 hex digits, ':', 12 hex digits

// Dotted quad: exactly four decimal numbers, each below 256, separated by
// single dots, nothing before or after. Leading zeros are decimal.
bool parse_ipv4_text(const char* text, std::array<uint8_t, 4>* bytes);

// Network number, a colon, node number: exactly 21 characters of hex digits.
bool parse_ipx_text(const char* text, std::array<uint8_t, 10>* bytes);

// "%d.%d.%d.%d" of four address bytes in network order.
std::string format_ipv4(const std::array<uint8_t, 4>& bytes);

// "%d.%d.%d.%d" of an address held in host byte order.
std::string format_ipv4_host_order(uint32_t address);

// The six bytes as "%02X-%02X-%02X-%02X-%02X-%02X".
std::string format_mac(const uint8_t* bytes);

// Sixteen bytes as eight groups of four lower-case hex digits
// ("fe80:0000:...:0001"), before normalisation.
std::string format_ipv6_groups(const uint8_t* bytes);

// "%s%%%d": a text with its scope identifier.
std::string with_scope(const std::string& text, uint32_t scope);

// Turns the capital letters A to F into a to f and changes nothing else.
void lower_hex_letters(std::string* text);

// Whole-text comparison that ignores the case of ASCII letters.
bool equals_ignore_case(const std::string& a, const std::string& b);

// Recognition without any lookup: IPv4 dotted quad gives 1, the IPX form
// gives 2; anything else gives -7 and protocol 0.
Result detect_ipv4_or_ipx(const char* text, IQelNetworkAddress::EProtocol* protocol);

// IPv4 re-printed in decimal, IPX copied; anything else gives -7.
Result normalise_ipv4_or_ipx(const char* text, std::string* normalised);

// Address family (AF_INET, AF_IPX, AF_INET6) to protocol code and back;
// other families give protocol 0, other protocols family AF_UNSPEC.
IQelNetworkAddress::EProtocol protocol_of_family(int family);
int family_of_protocol(IQelNetworkAddress::EProtocol protocol);

}  // namespace orv::net
