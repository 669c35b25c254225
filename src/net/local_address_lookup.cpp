#include "net/local_address_lookup.h"

#include <cstdio>
#include <memory>
#include <mutex>

namespace orv::net {
namespace {

constexpr int kOctetMax = 255;

struct ProcessLookup {
  std::mutex lock;
  std::unique_ptr<ILocalTableSource> source;

  Result choose_source() {
    if (source) return kOk;
    Result rc = make_iphelp_table_source(&source);
    if (rc == kOk) return kOk;
    return make_kernel_table_source(&source);
  }
};

ProcessLookup& process_lookup() {
  static ProcessLookup lookup;
  return lookup;
}

}  // namespace

bool parse_dotted_ipv4(const char* text, uint32_t* value) {
  if (!text) return false;
  int octets[4];
  if (std::sscanf(text, "%d.%d.%d.%d", &octets[0], &octets[1], &octets[2], &octets[3]) != 4) {
    return false;
  }
  uint32_t result = 0;
  for (int octet : octets) {
    // Values outside an octet would silently spill into their neighbours.
    if (octet < 0 || octet > kOctetMax) return false;
    result = (result << 8) | static_cast<uint32_t>(octet);
  }
  *value = result;
  return true;
}

std::string print_dotted_ipv4(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%d.%d.%d.%d", static_cast<int>(value >> 24),
                static_cast<int>((value >> 16) & 0xff), static_cast<int>((value >> 8) & 0xff),
                static_cast<int>(value & 0xff));
  return text;
}

Result find_local_address(std::vector<RouteRecord> routes, std::vector<AddressRecord> addresses,
                          uint32_t destination, std::string* address) {
  sort_routes(&routes);
  sort_addresses(&addresses);
  for (const RouteRecord& route : routes) {
    if (route.dest != destination) continue;
    for (const AddressRecord& record : addresses) {
      if (record.if_index == route.if_index) {
        *address = print_dotted_ipv4(record.address);
        return kOk;
      }
    }
    return kErrPlatform;
  }
  return kErrPlatform;
}

Result local_address_with_source(ILocalTableSource& source, const char* destination,
                                 std::string* address) {
  uint32_t value = 0;
  if (!parse_dotted_ipv4(destination, &value)) return kErrInvalidArg;
  std::vector<RouteRecord> routes;
  Result rc = source.read_routes(&routes);
  if (rc != kOk) return rc;
  bool routed = false;
  for (const RouteRecord& route : routes) routed = routed || route.dest == value;
  if (!routed) return kErrPlatform;
  std::vector<AddressRecord> addresses;
  rc = source.read_addresses(&addresses);
  if (rc != kOk) return rc;
  return find_local_address(std::move(routes), std::move(addresses), value, address);
}

Result local_address_for_text(const char* destination, std::string* address) {
  ProcessLookup& lookup = process_lookup();
  std::lock_guard<std::mutex> guard(lookup.lock);
  Result rc = lookup.choose_source();
  if (rc != kOk) return rc;
  return local_address_with_source(*lookup.source, destination, address);
}

Result qel_local_address_for_destination(const IQelNetworkAddress* destination,
                                         IQelNetworkAddress** local) {
  if (!destination || !local) return kErrInvalidArg;
  if (destination->protocol() != IQelNetworkAddress::kProtocolIpv4) return kErrNotSupported;
  const char* text = destination->text();
  if (!text) return kErrInvalidArg;
  std::string found;
  Result rc = local_address_for_text(text, &found);
  if (rc != kOk) return rc;
  IQelNetworkAddress* made = qel_create_network_address_with_protocol(
      found.c_str(), destination->protocol(), destination->port(), &rc);
  if (!made) return rc != kOk ? rc : kErrNoMemory;
  *local = made;
  return kOk;
}

}  // namespace orv::net
