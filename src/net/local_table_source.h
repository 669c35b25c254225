// The host's IPv4 routing, address and interface tables as the local address
// lookup reads them, from one of two sources. Addresses and masks are in host
// byte order.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "result_codes.h"

namespace orv::net {

struct RouteRecord {
  uint32_t dest = 0;
  uint32_t if_index = 0;
  uint32_t next_hop = 0;
  uint32_t type = 0;
  uint32_t mask = 0;
  bool operator==(const RouteRecord&) const = default;
};

struct AddressRecord {
  uint32_t address = 0;
  uint32_t if_index = 0;
  uint32_t mask = 0;
  uint32_t broadcast = 0;  // the lowest bit of the broadcast address
  bool operator==(const AddressRecord&) const = default;
};

struct InterfaceRecord {
  uint32_t index = 0;
  std::string description;
  uint32_t type = 0;
  bool operator==(const InterfaceRecord&) const = default;
};

class ILocalTableSource {
 public:
  virtual ~ILocalTableSource() = default;
  // Each reads its table afresh: 0, -10 when the source fails, -3.
  virtual Result read_routes(std::vector<RouteRecord>* routes) = 0;
  virtual Result read_addresses(std::vector<AddressRecord>* addresses) = 0;
  virtual Result read_interfaces(std::vector<InterfaceRecord>* interfaces) = 0;
  virtual Result interface_count(uint32_t* count) = 0;
};

// The IP-helper module's four table entries; -10 when the module or one of
// the entries is missing.
Result make_iphelp_table_source(std::unique_ptr<ILocalTableSource>* source);

// The kernel's own tables (/proc/net/route with the local table's host and
// broadcast routes, the interface list and the interface addresses)
// presented as the MIB-II tables and walked with get-next; -10 when they cannot be read.
Result make_kernel_table_source(std::unique_ptr<ILocalTableSource>* source);

// The order both sources are compared in: destination, most specific mask
// first, interface; addresses by address.
void sort_routes(std::vector<RouteRecord>* routes);
void sort_addresses(std::vector<AddressRecord>* addresses);

}  // namespace orv::net
