// Where a discovery sends to. A limited broadcast leaves by one interface
// only, so without an explicit address the search also goes to the directed
// broadcast address of every other up IPv4 interface. The IPv6 all-nodes
// group without a scope leaves by one link only as well, so over IPv6 the
// search goes to the group on each link, with the link's scope.
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

inline constexpr const char* kAllNodes = "ff02::1";

// "ff02::1%INDEX" for each up, multicast-capable, non-loopback interface in
// `list` that has an IPv6 address, each once, in list order; `index_of`
// gives an interface's index by name (0: none).
std::vector<std::string> all_nodes_per_link(const ifaddrs* list,
                                            unsigned (*index_of)(const char* name));

// The same for this machine's interfaces; empty when they cannot be read.
std::vector<std::string> local_all_nodes_per_link();

}  // namespace orvctl
