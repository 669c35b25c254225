// The host and broadcast routes that Linux keeps in its separate "local"
// routing table, which /proc/net/route does not show.
#pragma once

#include <cstdint>
#include <vector>

namespace orv::net {

struct LocalTableRoute {
  uint32_t dest = 0;  // network order
  uint32_t mask = 0;  // network order
  uint32_t if_index = 0;
};

// The IPv4 routes of type local or broadcast in the local table, read from
// the kernel over rtnetlink; false when the kernel cannot be asked.
bool read_kernel_local_routes(std::vector<LocalTableRoute>* routes);

}  // namespace orv::net
