// The local IPv4 address whose interface carries the route to a destination,
// from the host's routing and address tables. One process-wide lookup serves
// all callers, one query at a time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "net/local_table_source.h"
#include "net/network_address.h"
#include "result_codes.h"

namespace orv::net {

// "%d.%d.%d.%d" into a host-order value; false unless four numbers 0..255.
bool parse_dotted_ipv4(const char* text, uint32_t* value);
std::string print_dotted_ipv4(uint32_t value);

// The first route whose destination equals `destination`, then the first
// address of its interface: 0 and the dotted text, or -1 when either is
// missing. Both lists as the source gave them (they are sorted here).
Result find_local_address(std::vector<RouteRecord> routes, std::vector<AddressRecord> addresses,
                          uint32_t destination, std::string* address);

// One query against one source: -2 for an unreadable destination text, the
// source's failure, -1, or 0 and the text.
Result local_address_with_source(ILocalTableSource& source, const char* destination,
                                 std::string* address);

// The process-wide lookup: chooses its source once (IP helper first, then the
// kernel tables) and answers under its lock.
Result local_address_for_text(const char* destination, std::string* address);

// The same for an address object: -2 for null arguments or an unreadable
// address, -5 for any protocol other than IPv4; on success `local` (caller
// owns it) has the interface address with the destination's protocol and port.
Result qel_local_address_for_destination(const IQelNetworkAddress* destination,
                                         IQelNetworkAddress** local);

}  // namespace orv::net
