// Records and constants of the IP-helper module, shared by the library and
// the module that fills them. Each call fills one caller-provided block: the
// first call with too small a block (or none) reports the size it needs.
// Socket addresses inside the records are the system's own (AF_INET,
// AF_INET6); interface indexes are the kernel's.
#pragma once

#include <cstddef>
#include <cstdint>

#include <sys/socket.h>

namespace orv::net {

// Results of the IP-helper calls.
inline constexpr uint32_t kIpHelpOk = 0;
inline constexpr uint32_t kIpHelpNotEnoughMemory = 8;
inline constexpr uint32_t kIpHelpGenFailure = 31;        // the kernel could not be asked
inline constexpr uint32_t kIpHelpInvalidParameter = 87;
inline constexpr uint32_t kIpHelpBufferOverflow = 111;   // adapter lists: block too small
inline constexpr uint32_t kIpHelpInsufficientBuffer = 122;  // tables: block too small
inline constexpr uint32_t kIpHelpNoData = 232;           // nothing to list
inline constexpr uint32_t kIpHelpNotFound = 1168;        // no route towards the destination

// Interface types.
inline constexpr uint32_t kIfTypeOther = 1;
inline constexpr uint32_t kIfTypeEthernet = 6;
inline constexpr uint32_t kIfTypePpp = 23;
inline constexpr uint32_t kIfTypeLoopback = 24;
inline constexpr uint32_t kIfTypeTunnel = 131;

// Operational states.
inline constexpr uint32_t kIfOperStatusUp = 1;
inline constexpr uint32_t kIfOperStatusDown = 2;

// GetAdaptersAddresses flags; this module never lists anycast, multicast or
// DNS-server addresses, so the skip flags change nothing.
inline constexpr uint32_t kGaaSkipUnicast = 0x0001;
inline constexpr uint32_t kGaaSkipAnycast = 0x0002;
inline constexpr uint32_t kGaaSkipMulticast = 0x0004;
inline constexpr uint32_t kGaaSkipDnsServer = 0x0008;
inline constexpr uint32_t kGaaIncludePrefix = 0x0010;

inline constexpr size_t kAdapterNameSize = 260;
inline constexpr size_t kAdapterDescriptionSize = 132;
inline constexpr size_t kAdapterAddressSize = 8;  // hardware address bytes

// ---- GetAdaptersInfo: one record per interface, IPv4 addresses as text ----

struct QelIpAddressText {
  char text[16];  // dotted quad, "0.0.0.0" when none
};

struct QelIpAddrString {
  QelIpAddrString* next;
  QelIpAddressText address;
  QelIpAddressText mask;
  uint32_t context;  // the address's own index on the interface
};

// An interface that is down, or has no IPv4 address, lists "0.0.0.0".
struct QelIpAdapterInfo {
  QelIpAdapterInfo* next;
  uint32_t combo_index;
  char adapter_name[kAdapterNameSize];
  char description[kAdapterDescriptionSize];
  uint32_t address_length;  // hardware address length (6 for Ethernet, 0 for loopback)
  uint8_t address[kAdapterAddressSize];
  uint32_t index;
  uint32_t type;
  uint32_t dhcp_enabled;  // always 0: the module does not know
  QelIpAddrString* current_ip_address;
  QelIpAddrString ip_address_list;
  QelIpAddrString gateway_list;  // "0.0.0.0": not reported
};

// ---- GetAdaptersAddresses: one record per interface, unicast addresses ----

struct QelSocketAddress {
  sockaddr* sockaddr_ptr;  // sockaddr_in or sockaddr_in6 (with its scope id)
  int32_t sockaddr_length;
};

struct QelAdapterUnicastAddress {
  uint32_t length;  // size of this record
  uint32_t flags;
  QelAdapterUnicastAddress* next;
  QelSocketAddress address;
  uint8_t on_link_prefix_length;
};

// Interfaces that are down list no unicast addresses.
struct QelAdapterAddresses {
  uint32_t length;    // size of this record
  uint32_t if_index;  // IPv4 interface index
  QelAdapterAddresses* next;
  char* adapter_name;
  QelAdapterUnicastAddress* first_unicast_address;
  char* description;
  char* friendly_name;
  uint8_t physical_address[kAdapterAddressSize];
  uint32_t physical_address_length;
  uint32_t flags;
  uint32_t mtu;
  uint32_t if_type;
  uint32_t oper_status;
  uint32_t ipv6_if_index;  // IPv6 interface index (the same kernel index)
  uint32_t zone_indices[16];
};

// ---- Routing, interface and address tables (addresses in network order) ----

struct QelIpForwardRow {
  uint32_t dest;
  uint32_t mask;
  uint32_t policy;
  uint32_t next_hop;
  uint32_t if_index;  // 0 for a route without a device (unreachable, blackhole)
  uint32_t type;      // 3 direct, 4 indirect, 2 invalid (rejecting)
  uint32_t proto;
  uint32_t age;
  uint32_t next_hop_as;
  uint32_t metric1;
  uint32_t metric2;
  uint32_t metric3;
  uint32_t metric4;
  uint32_t metric5;
};

inline constexpr uint32_t kRouteTypeInvalid = 2;
inline constexpr uint32_t kRouteTypeDirect = 3;
inline constexpr uint32_t kRouteTypeIndirect = 4;

struct QelIpForwardTable {
  uint32_t num_entries;
  QelIpForwardRow table[1];  // num_entries rows
};

struct QelIfRow {
  char name[256];
  uint32_t index;
  uint32_t type;
  uint32_t mtu;
  uint32_t speed;
  uint32_t phys_addr_len;
  uint8_t phys_addr[kAdapterAddressSize];
  uint32_t admin_status;  // 1 up, 2 down
  uint32_t oper_status;   // kIfOperStatusUp or kIfOperStatusDown
  uint32_t descr_len;
  char descr[256];
};

struct QelIfTable {
  uint32_t num_entries;
  QelIfRow table[1];
};

struct QelIpAddrRow {
  uint32_t addr;
  uint32_t index;
  uint32_t mask;
  uint32_t bcast_addr;  // the lowest bit of the broadcast address (1 or 0)
  uint32_t reasm_size;
  uint16_t unused1;
  uint16_t type;
};

struct QelIpAddrTable {
  uint32_t num_entries;
  QelIpAddrRow table[1];
};

// Size of a table block with `rows` rows.
template <typename Table>
constexpr size_t table_size_for(size_t rows) {
  return offsetof(Table, table) + rows * sizeof(Table::table[0]);
}

// Entry types. `order` non-zero sorts the rows by their index columns.
using PfnGetBestInterfaceEx = uint32_t (*)(const sockaddr* destination, uint32_t* best_if_index);
using PfnGetAdaptersInfo = uint32_t (*)(QelIpAdapterInfo* info, uint32_t* size);
using PfnGetAdaptersAddresses = uint32_t (*)(uint32_t family, uint32_t flags, void* reserved,
                                             QelAdapterAddresses* addresses, uint32_t* size);
using PfnGetIpForwardTable = uint32_t (*)(QelIpForwardTable* table, uint32_t* size, int32_t order);
using PfnGetNumberOfInterfaces = uint32_t (*)(uint32_t* count);
using PfnGetIfTable = uint32_t (*)(QelIfTable* table, uint32_t* size, int32_t order);
using PfnGetIpAddrTable = uint32_t (*)(QelIpAddrTable* table, uint32_t* size, int32_t order);

static_assert(sizeof(QelIpAddrString) == 48);
static_assert(offsetof(QelIpAdapterInfo, ip_address_list) == 440);
static_assert(sizeof(QelIpAdapterInfo) == 536);
static_assert(offsetof(QelAdapterAddresses, zone_indices) == 80);
static_assert(sizeof(QelIpForwardRow) == 56);
static_assert(sizeof(QelIpAddrRow) == 24);
static_assert(offsetof(QelIfRow, descr) == 296);

}  // namespace orv::net
