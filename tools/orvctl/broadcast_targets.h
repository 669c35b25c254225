// Where a discovery sends to. A limited broadcast leaves by one interface
// only, so without an explicit address the search also goes to the directed
// broadcast address of every other up IPv4 interface.
#pragma once

#include <ifaddrs.h>

#include <string>
#include <vector>

namespace orvctl {

inline constexpr const char* kLimitedBroadcast = "255.255.255.255";

// Directed broadcast addresses (address with all host bits set) of the up,
// broadcast-capable, non-loopback IPv4 interfaces in `list` whose subnet is
// /30 or larger, each once, in list order; never the limited broadcast.
std::vector<std::string> directed_broadcasts(const ifaddrs* list);

// The same for this machine's interfaces; empty when they cannot be read.
std::vector<std::string> local_directed_broadcasts();

}  // namespace orvctl
