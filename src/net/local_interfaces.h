// The questions about the local host's interfaces that both resolver
// variants answer alike: is there a usable interface for a protocol, how
// many, the MAC of the interface holding an address, is a MAC one of ours.
// The decisions are pure functions over adapter records so they can be
// tested directly; local_interfaces.cpp fills the records from the IP-helper
// table.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <sys/socket.h>

#include "net/iphelp_types.h"
#include "net/network_address.h"
#include "result_codes.h"

namespace orv::net {

// One adapter as the IPv4 adapter list reports it.
struct Ipv4AdapterRecord {
  uint32_t type = 0;
  std::array<uint8_t, 8> mac{};
  uint32_t mac_length = 0;
  std::string first_address;  // dotted text; "0.0.0.0" when it has none
};

// One adapter as the family-wide adapter list reports it.
struct AdapterRecord {
  uint32_t type = 0;
  std::array<uint8_t, 8> mac{};
  uint32_t mac_length = 0;
  uint32_t ipv4_index = 0;
  uint32_t ipv6_index = 0;
  bool has_unicast = false;  // the fields below describe its first unicast address
  int unicast_family = 0;    // AF_INET or AF_INET6
  std::array<uint8_t, 16> unicast{};  // 4 or 16 bytes in network order
  uint32_t scope_id = 0;
};

// Turns an interface address text into the resolver's normalised text; when
// it cannot, the text is used as it is.
using NormaliseText = std::function<std::string(const std::string&)>;

// Loopback never counts; for IPv6 tunnels do not either.
bool counts_for_ipv4(const Ipv4AdapterRecord& adapter);
bool counts_for_ipv6(const AdapterRecord& adapter);

bool has_usable_ipv4(const std::vector<Ipv4AdapterRecord>& adapters);
bool has_usable_ipv6(const std::vector<AdapterRecord>& adapters);
int32_t count_ipv4(const std::vector<Ipv4AdapterRecord>& adapters);
int32_t count_ipv6(const std::vector<AdapterRecord>& adapters);

// MAC text of the first adapter holding `address` exactly (an empty text
// takes the first adapter); -7 when none does.
Result find_ipv4_mac(const std::vector<Ipv4AdapterRecord>& adapters, const std::string& address,
                     std::string* mac);
// MAC text of the first adapter with a usable IPv6 address whose interface
// address form, or that form with its scope, equals `address` ignoring case
// (an empty text takes the first such adapter); -7 when none does.
Result find_ipv6_mac(const std::vector<AdapterRecord>& adapters, const std::string& address,
                     const NormaliseText& normalise, std::string* mac);

bool holds_mac_ipv4(const std::vector<Ipv4AdapterRecord>& adapters, const std::string& mac);
bool holds_mac_ipv6(const std::vector<AdapterRecord>& adapters, const std::string& mac);

// The first adapter whose first unicast address has `family` and whose
// interface index for that family is `interface_index`; nullptr when none.
const AdapterRecord* adapter_for_interface(const std::vector<AdapterRecord>& adapters, int family,
                                           uint32_t interface_index);

// The questions themselves, over the IP-helper table (loaded on demand).
// When the adapter lists cannot answer whether `protocol` is usable,
// `can_open_socket` decides.
Result local_has_usable_interface(IQelNetworkAddress::EProtocol protocol, bool* usable,
                                  const std::function<bool(IQelNetworkAddress::EProtocol)>& can_open_socket);
Result local_interface_count(IQelNetworkAddress::EProtocol protocol, int32_t* count);
// `normalise` serves the IPv6 address comparison.
Result local_interface_mac(const char* address, IQelNetworkAddress::EProtocol protocol,
                           const NormaliseText& normalise, std::string* mac);
Result local_is_local_mac(const char* mac, bool* local);

// The adapter that carries traffic towards `destination` (a socket address of
// family AF_INET or AF_INET6). -5 without the IP-helper functions or when
// there is no best interface, -1 when no adapter matches it.
Result local_source_adapter(const sockaddr* destination, AdapterRecord* adapter);

}  // namespace orv::net
