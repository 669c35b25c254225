#include "broadcast_targets.h"

#include <arpa/inet.h>
#include <net/if.h>
#include <netinet/in.h>

#include <algorithm>
#include <memory>

namespace orvctl {
namespace {

// Host part of a /30, the smallest subnet with a broadcast address.
constexpr uint32_t kSmallestHostPart = 3;

}  // namespace

std::vector<std::string> directed_broadcasts(const ifaddrs* list) {
  std::vector<std::string> out;
  for (const ifaddrs* ifa = list; ifa != nullptr; ifa = ifa->ifa_next) {
    if (ifa->ifa_addr == nullptr || ifa->ifa_addr->sa_family != AF_INET) continue;
    if (ifa->ifa_netmask == nullptr || ifa->ifa_netmask->sa_family != AF_INET) continue;
    const unsigned flags = ifa->ifa_flags;
    if (!(flags & IFF_UP) || !(flags & IFF_BROADCAST) || (flags & IFF_LOOPBACK)) continue;
    // Worked out from address and mask: an address added without "brd"
    // reports itself as its broadcast address.
    const uint32_t address = ntohl(reinterpret_cast<const sockaddr_in*>(ifa->ifa_addr)->sin_addr.s_addr);
    const uint32_t mask = ntohl(reinterpret_cast<const sockaddr_in*>(ifa->ifa_netmask)->sin_addr.s_addr);
    const uint32_t host_bits = ~mask;
    if (host_bits < kSmallestHostPart || address == 0) continue;  // /31, /32: no broadcast
    in_addr broadcast{};
    broadcast.s_addr = htonl(address | host_bits);
    char text[INET_ADDRSTRLEN] = {};
    if (inet_ntop(AF_INET, &broadcast, text, sizeof text) == nullptr) continue;
    const std::string broadcast_text(text);
    if (broadcast_text == kLimitedBroadcast) continue;
    if (std::find(out.begin(), out.end(), broadcast_text) == out.end()) out.push_back(broadcast_text);
  }
  return out;
}

std::vector<std::string> all_nodes_per_link(const ifaddrs* list,
                                            unsigned (*index_of)(const char* name)) {
  std::vector<std::string> out;
  for (const ifaddrs* ifa = list; ifa != nullptr; ifa = ifa->ifa_next) {
    if (ifa->ifa_addr == nullptr || ifa->ifa_addr->sa_family != AF_INET6) continue;
    const unsigned flags = ifa->ifa_flags;
    if (!(flags & IFF_UP) || !(flags & IFF_MULTICAST) || (flags & IFF_LOOPBACK)) continue;
    const unsigned index = ifa->ifa_name != nullptr ? index_of(ifa->ifa_name) : 0;
    if (index == 0) continue;
    // The scope in the numeric form of the library's address texts.
    const std::string group = std::string(kAllNodes) + "%" + std::to_string(index);
    if (std::find(out.begin(), out.end(), group) == out.end()) out.push_back(group);
  }
  return out;
}

namespace {

template <typename Scan>
std::vector<std::string> scan_local(Scan scan) {
  ifaddrs* raw = nullptr;
  if (getifaddrs(&raw) != 0) return {};
  std::unique_ptr<ifaddrs, decltype(&freeifaddrs)> list(raw, &freeifaddrs);
  return scan(list.get());
}

}  // namespace

std::vector<std::string> local_directed_broadcasts() {
  return scan_local([](const ifaddrs* list) { return directed_broadcasts(list); });
}

std::vector<std::string> local_all_nodes_per_link() {
  return scan_local([](const ifaddrs* list) {
    return all_nodes_per_link(list, &if_nametoindex);
  });
}

}  // namespace orvctl
