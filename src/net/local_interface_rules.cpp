// The pure decisions behind the local interface questions.
#include <sys/socket.h>

#include <algorithm>

#include "net/address_text.h"
#include "net/local_interfaces.h"

namespace orv::net {

namespace {

bool has_usable_unicast(const AdapterRecord& adapter) {
  if (!adapter.has_unicast || adapter.unicast_family != AF_INET6) return false;
  return std::any_of(adapter.unicast.begin(), adapter.unicast.end(), [](uint8_t b) { return b != 0; });
}

template <typename Record>
std::string mac_text(const Record& adapter) {
  // A shorter hardware address is printed with zero bytes behind it.
  std::array<uint8_t, 6> bytes{};
  std::copy_n(adapter.mac.begin(), std::min<uint32_t>(adapter.mac_length, 6), bytes.begin());
  return format_mac(bytes.data());
}

}  // namespace

bool counts_for_ipv4(const Ipv4AdapterRecord& adapter) {
  return adapter.type != kIfTypeLoopback;
}

bool counts_for_ipv6(const AdapterRecord& adapter) {
  return adapter.type != kIfTypeLoopback && adapter.type != kIfTypeTunnel;
}

bool has_usable_ipv4(const std::vector<Ipv4AdapterRecord>& adapters) {
  return std::any_of(adapters.begin(), adapters.end(), [](const Ipv4AdapterRecord& a) {
    return counts_for_ipv4(a) && a.first_address != "0.0.0.0" && !a.first_address.empty();
  });
}

bool has_usable_ipv6(const std::vector<AdapterRecord>& adapters) {
  return std::any_of(adapters.begin(), adapters.end(), [](const AdapterRecord& a) {
    return counts_for_ipv6(a) && has_usable_unicast(a);
  });
}

int32_t count_ipv4(const std::vector<Ipv4AdapterRecord>& adapters) {
  return static_cast<int32_t>(std::count_if(adapters.begin(), adapters.end(), counts_for_ipv4));
}

int32_t count_ipv6(const std::vector<AdapterRecord>& adapters) {
  return static_cast<int32_t>(std::count_if(adapters.begin(), adapters.end(), [](const AdapterRecord& a) {
    return counts_for_ipv6(a) && a.has_unicast;
  }));
}

Result find_ipv4_mac(const std::vector<Ipv4AdapterRecord>& adapters, const std::string& address,
                     std::string* mac) {
  for (const Ipv4AdapterRecord& adapter : adapters) {
    if (!counts_for_ipv4(adapter)) continue;
    if (address.empty() || adapter.first_address == address) {
      *mac = mac_text(adapter);
      return kOk;
    }
  }
  return kErrNoValue;
}

Result find_ipv6_mac(const std::vector<AdapterRecord>& adapters, const std::string& address,
                     const NormaliseText& normalise, std::string* mac) {
  for (const AdapterRecord& adapter : adapters) {
    if (!counts_for_ipv6(adapter) || !has_usable_unicast(adapter)) continue;
    bool match = address.empty();
    if (!match) {
      std::string form = normalise(format_ipv6_groups(adapter.unicast.data()));
      match = equals_ignore_case(form, address) ||
              (adapter.scope_id != 0 && equals_ignore_case(with_scope(form, adapter.scope_id), address));
    }
    if (match) {
      *mac = mac_text(adapter);
      return kOk;
    }
  }
  return kErrNoValue;
}

bool holds_mac_ipv4(const std::vector<Ipv4AdapterRecord>& adapters, const std::string& mac) {
  return std::any_of(adapters.begin(), adapters.end(), [&mac](const Ipv4AdapterRecord& a) {
    return counts_for_ipv4(a) && equals_ignore_case(mac_text(a), mac);
  });
}

bool holds_mac_ipv6(const std::vector<AdapterRecord>& adapters, const std::string& mac) {
  return std::any_of(adapters.begin(), adapters.end(), [&mac](const AdapterRecord& a) {
    return counts_for_ipv6(a) && equals_ignore_case(mac_text(a), mac);
  });
}

const AdapterRecord* adapter_for_interface(const std::vector<AdapterRecord>& adapters, int family,
                                           uint32_t interface_index) {
  for (const AdapterRecord& adapter : adapters) {
    if (!adapter.has_unicast || adapter.unicast_family != family) continue;
    uint32_t index = family == AF_INET6 ? adapter.ipv6_index : adapter.ipv4_index;
    if (index == interface_index) return &adapter;
  }
  return nullptr;
}

}  // namespace orv::net
