// The one reading of an IPv4 address text into the 32-bit address that goes
// on the wire, shared by the resolver and the datagram socket, so a datagram
// goes to exactly the address that the resolver normalised and logged.
#pragma once

#include <cstdint>

namespace orv::net {

// A dotted quad is read in decimal, leading zeros included ("127.0.0.010" is
// 127.0.0.10, not the C library's octal 127.0.0.8). Other numeric forms
// ("127.1") are read by the socket table's inet_addr, as the resolver's
// numeric look-up reads them; its failure value is accepted only for a text
// beginning with "255.255.255.255". True with the address in network order.
bool ipv4_text_to_address(const char* text, uint32_t* network_order);

}  // namespace orv::net
