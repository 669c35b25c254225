// What the kernel's routing socket tells about interfaces, addresses and
// routes, read into plain records. Addresses are in network order.
#pragma once

#include <netinet/in.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace orv::iphelp {

struct Link {
  uint32_t index = 0;
  std::string name;
  uint32_t type = 0;  // interface type (net/iphelp_types.h)
  unsigned flags = 0;  // IFF_*
  uint32_t mtu = 0;
  std::array<uint8_t, 8> mac{};
  uint32_t mac_length = 0;
  bool up() const;
};

struct Address {
  uint32_t index = 0;
  int family = 0;                     // AF_INET or AF_INET6
  std::array<uint8_t, 16> bytes{};    // 4 or 16 bytes
  uint8_t prefix_length = 0;
};

struct Route {
  uint32_t dest = 0;
  uint32_t mask = 0;
  uint32_t next_hop = 0;
  uint32_t if_index = 0;
  uint32_t type = 0;  // kRouteType*
  uint32_t proto = 0;
  uint32_t metric = 0;
};

// Each returns false when the kernel could not be asked.
bool read_links(std::vector<Link>* links);
bool read_addresses(int family, std::vector<Address>* addresses);  // AF_UNSPEC for both
bool read_ipv4_routes(std::vector<Route>* routes);
enum class RouteAnswer { kFound, kNoRoute, kFailed };

// The interface the kernel would send to `destination` through.
RouteAnswer route_interface(const sockaddr* destination, uint32_t* if_index);

uint32_t mask_from_prefix(uint8_t prefix_length);  // network order

}  // namespace orv::iphelp
