// The kernel's own IPv4 tables, read from /proc/net/route with the local
// table's host and broadcast routes, /proc/net/dev and the interface
// addresses, presented as the MIB-II routing, address and interface tables
// and read back column by column with get-next.
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <net/route.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "net/interface_kind.h"
#include "net/kernel_local_routes.h"
#include "net/iphelp_types.h"
#include "net/local_table_source.h"
#include "net/mib_view.h"

namespace orv::net {
namespace {

constexpr const char* kRouteFile = "/proc/net/route";
constexpr const char* kDeviceFile = "/proc/net/dev";
constexpr int kDeviceHeaderLines = 2;

// Routing table columns: dest, ifIndex, nextHop, type, mask.
const char* const kRouteColumns[] = {"1.3.6.1.2.1.4.21.1.1", "1.3.6.1.2.1.4.21.1.2",
                                     "1.3.6.1.2.1.4.21.1.7", "1.3.6.1.2.1.4.21.1.8",
                                     "1.3.6.1.2.1.4.21.1.11"};
// Address table columns: address, ifIndex, mask, broadcast.
const char* const kAddressColumns[] = {"1.3.6.1.2.1.4.20.1.1", "1.3.6.1.2.1.4.20.1.2",
                                       "1.3.6.1.2.1.4.20.1.3", "1.3.6.1.2.1.4.20.1.4"};
// Interface table columns: index, description, type.
const char* const kInterfaceColumns[] = {"1.3.6.1.2.1.2.2.1.1", "1.3.6.1.2.1.2.2.1.2",
                                         "1.3.6.1.2.1.2.2.1.3"};
constexpr const char* kInterfaceNumber = "1.3.6.1.2.1.2.1";

template <size_t N>
std::vector<MibOid> columns_of(const char* const (&texts)[N]) {
  std::vector<MibOid> columns;
  for (const char* text : texts) columns.push_back(mib_oid(text));
  return columns;
}

// An instance identifier: column, then the index sub-identifiers.
MibOid instance(const char* column, const MibOid& index) {
  MibOid oid = mib_oid(column);
  oid.insert(oid.end(), index.begin(), index.end());
  return oid;
}

MibOid address_index(uint32_t network_order) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(&network_order);
  return {bytes[0], bytes[1], bytes[2], bytes[3]};
}

MibValue number(uint32_t value) { return MibValue{value, {}}; }

// Interface name to kernel index; labels such as "eth0:1" name their device.
uint32_t index_of(std::string name) {
  size_t colon = name.find(':');
  if (colon != std::string::npos) name.resize(colon);
  return if_nametoindex(name.c_str());
}

struct KernelRoute {
  uint32_t dest = 0;  // network order, as all addresses below
  uint32_t if_index = 0;
  uint32_t gateway = 0;
  uint32_t type = 0;
  uint32_t mask = 0;
};

// One row of /proc/net/route. The hex columns hold the addresses as they lie
// in memory, that is in network order.
bool parse_route_row(const std::string& line, KernelRoute* route) {
  char name[IF_NAMESIZE + 1] = {};
  unsigned dest = 0, gateway = 0, flags = 0, refs = 0, use = 0, metric = 0, mask = 0;
  if (std::sscanf(line.c_str(), "%16s %x %x %x %u %u %u %x", name, &dest, &gateway, &flags, &refs,
                  &use, &metric, &mask) != 8) {
    return false;
  }
  route->dest = dest;
  route->gateway = gateway;
  route->mask = mask;
  route->type = (flags & RTF_REJECT)    ? kRouteTypeInvalid
                : (flags & RTF_GATEWAY) ? kRouteTypeIndirect
                                        : kRouteTypeDirect;
  route->if_index = std::strcmp(name, "*") == 0 ? 0 : index_of(name);
  return true;
}

// The MIB-II routing table holds one route per destination: the one that
// sorts first (most specific mask, then lowest interface) stays.
bool replaces(const KernelRoute& candidate, const KernelRoute& kept) {
  if (candidate.mask != kept.mask) return ntohl(candidate.mask) > ntohl(kept.mask);
  return candidate.if_index < kept.if_index;
}

void keep(std::map<uint32_t, KernelRoute>* by_dest, const KernelRoute& route) {
  auto [kept, added] = by_dest->emplace(route.dest, route);
  if (!added && replaces(route, kept->second)) kept->second = route;
}

Result route_view(MibView* view) {
  std::ifstream file(kRouteFile);
  if (!file) return kErrLoad;
  std::map<uint32_t, KernelRoute> by_dest;
  std::string line;
  std::getline(file, line);  // column titles
  while (std::getline(file, line)) {
    KernelRoute route;
    if (!parse_route_row(line, &route)) continue;
    keep(&by_dest, route);
  }
  // The host routes of the local addresses and of the subnet broadcasts live
  // in the local table; the lookup needs them to find the interface that a
  // broadcast address goes out on.
  std::vector<LocalTableRoute> local_routes;
  if (!read_kernel_local_routes(&local_routes)) return kErrLoad;
  for (const LocalTableRoute& local : local_routes) {
    keep(&by_dest, KernelRoute{local.dest, local.if_index, 0, kRouteTypeDirect, local.mask});
  }
  for (const auto& [dest, route] : by_dest) {
    MibOid index = address_index(dest);
    view->set(instance(kRouteColumns[0], index), number(route.dest));
    view->set(instance(kRouteColumns[1], index), number(route.if_index));
    view->set(instance(kRouteColumns[2], index), number(route.gateway));
    view->set(instance(kRouteColumns[3], index), number(route.type));
    view->set(instance(kRouteColumns[4], index), number(route.mask));
  }
  return kOk;
}

Result address_view(MibView* view) {
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return kErrLoad;
  for (const ifaddrs* entry = list; entry; entry = entry->ifa_next) {
    if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET || !entry->ifa_name) continue;
    uint32_t address = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr)->sin_addr.s_addr;
    uint32_t mask = entry->ifa_netmask
                        ? reinterpret_cast<const sockaddr_in*>(entry->ifa_netmask)->sin_addr.s_addr
                        : 0;
    MibOid index = address_index(address);
    view->set(instance(kAddressColumns[0], index), number(address));
    view->set(instance(kAddressColumns[1], index), number(index_of(entry->ifa_name)));
    view->set(instance(kAddressColumns[2], index), number(mask));
    view->set(instance(kAddressColumns[3], index), number(1));
  }
  freeifaddrs(list);
  return kOk;
}

// Hardware type of a device in the current network namespace.
uint32_t type_of(int probe, const std::string& name) {
  ifreq request{};
  std::snprintf(request.ifr_name, sizeof request.ifr_name, "%s", name.c_str());
  if (probe < 0 || ioctl(probe, SIOCGIFHWADDR, &request) != 0) return kIfTypeOther;
  return interface_type_from_hardware(request.ifr_hwaddr.sa_family);
}

Result interface_view(MibView* view) {
  std::ifstream file(kDeviceFile);
  if (!file) return kErrLoad;
  int probe = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  std::string line;
  uint32_t count = 0;
  for (int header = 0; header < kDeviceHeaderLines; ++header) std::getline(file, line);
  while (std::getline(file, line)) {
    size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    std::string name;
    std::istringstream(line.substr(0, colon)) >> name;
    uint32_t index = if_nametoindex(name.c_str());
    if (index == 0) continue;
    MibOid row = {index};
    view->set(instance(kInterfaceColumns[0], row), number(index));
    view->set(instance(kInterfaceColumns[1], row), MibValue{0, name});
    view->set(instance(kInterfaceColumns[2], row), number(type_of(probe, name)));
    ++count;
  }
  if (probe >= 0) close(probe);
  view->set(instance(kInterfaceNumber, {0}), number(count));
  return kOk;
}

class KernelTableSource : public ILocalTableSource {
 public:
  Result read_routes(std::vector<RouteRecord>* routes) override {
    MibView view;
    Result rc = route_view(&view);
    if (rc != kOk) return rc;
    routes->clear();
    for (const auto& row : walk_columns(view, columns_of(kRouteColumns))) {
      routes->push_back({ntohl(row[0].number), row[1].number, ntohl(row[2].number), row[3].number,
                         ntohl(row[4].number)});
    }
    return kOk;
  }

  Result read_addresses(std::vector<AddressRecord>* addresses) override {
    MibView view;
    Result rc = address_view(&view);
    if (rc != kOk) return rc;
    addresses->clear();
    for (const auto& row : walk_columns(view, columns_of(kAddressColumns))) {
      addresses->push_back({ntohl(row[0].number), row[1].number, ntohl(row[2].number),
                            row[3].number});
    }
    return kOk;
  }

  Result read_interfaces(std::vector<InterfaceRecord>* interfaces) override {
    MibView view;
    Result rc = interface_view(&view);
    if (rc != kOk) return rc;
    interfaces->clear();
    for (const auto& row : walk_columns(view, columns_of(kInterfaceColumns))) {
      interfaces->push_back({row[0].number, row[1].text, row[2].number});
    }
    return kOk;
  }

  Result interface_count(uint32_t* count) override {
    MibView view;
    Result rc = interface_view(&view);
    if (rc != kOk) return rc;
    MibOid oid;
    MibValue value;
    MibOid start = mib_oid(kInterfaceNumber);
    if (!view.get_next(start, &oid, &value) || !mib_under(oid, start)) return kErrLoad;
    *count = value.number;
    return kOk;
  }
};

}  // namespace

Result make_kernel_table_source(std::unique_ptr<ILocalTableSource>* source) {
  if (access(kRouteFile, R_OK) != 0) return kErrLoad;
  *source = std::make_unique<KernelTableSource>();
  return kOk;
}

}  // namespace orv::net
