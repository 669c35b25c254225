#include "iphelp_module/adapter_lists.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <cstdio>
#include <limits>
#include <vector>

#include "iphelp_module/block_writer.h"
#include "iphelp_module/netlink_snapshot.h"

namespace orv::iphelp {
namespace {

void copy_bounded(char* target, size_t size, const std::string& text) {
  std::snprintf(target, size, "%s", text.c_str());
}

void print_ipv4(const uint8_t* bytes, net::QelIpAddressText* text) {
  std::snprintf(text->text, sizeof text->text, "%u.%u.%u.%u", bytes[0], bytes[1], bytes[2],
                bytes[3]);
}

void fill_ip_string(net::QelIpAddrString* entry, const Address* address) {
  static const uint8_t kZero[4] = {0, 0, 0, 0};
  print_ipv4(address ? address->bytes.data() : kZero, &entry->address);
  uint32_t mask = address ? mask_from_prefix(address->prefix_length) : 0;
  print_ipv4(reinterpret_cast<const uint8_t*>(&mask), &entry->mask);
}

std::vector<const Address*> addresses_of(const Link& link, const std::vector<Address>& all,
                                         int family) {
  std::vector<const Address*> result;
  // An interface that is down carries no usable address.
  if (!link.up()) return result;
  for (const Address& address : all) {
    if (address.index == link.index && (family == AF_UNSPEC || address.family == family)) {
      result.push_back(&address);
    }
  }
  return result;
}

// Writes (or, without a block, measures) the adapter-info list.
size_t lay_out_info(char* block, const std::vector<Link>& links,
                    const std::vector<Address>& addresses) {
  BlockWriter writer(block);
  net::QelIpAdapterInfo* previous = nullptr;
  for (const Link& link : links) {
    // Loopback is no adapter in this list.
    if (link.type == net::kIfTypeLoopback) continue;
    auto* info = writer.take<net::QelIpAdapterInfo>();
    std::vector<const Address*> own = addresses_of(link, addresses, AF_INET);
    std::vector<net::QelIpAddrString*> extra;
    for (size_t i = 1; i < own.size(); ++i) extra.push_back(writer.take<net::QelIpAddrString>());
    if (!info) continue;
    if (previous) previous->next = info;
    previous = info;
    info->combo_index = link.index;
    info->index = link.index;
    info->type = link.type;
    copy_bounded(info->adapter_name, sizeof info->adapter_name, link.name);
    copy_bounded(info->description, sizeof info->description, link.name);
    info->address_length = link.mac_length;
    std::memcpy(info->address, link.mac.data(), link.mac_length);
    fill_ip_string(&info->ip_address_list, own.empty() ? nullptr : own[0]);
    fill_ip_string(&info->gateway_list, nullptr);
    net::QelIpAddrString* tail = &info->ip_address_list;
    for (size_t i = 0; i < extra.size(); ++i) {
      fill_ip_string(extra[i], own[i + 1]);
      extra[i]->context = static_cast<uint32_t>(i + 1);
      tail->next = extra[i];
      tail = extra[i];
    }
  }
  return writer.used();
}

size_t sockaddr_size(int family) {
  return family == AF_INET ? sizeof(sockaddr_in) : sizeof(sockaddr_in6);
}

void fill_sockaddr(const Address& address, const Link& link, sockaddr* target) {
  if (address.family == AF_INET) {
    auto* in = reinterpret_cast<sockaddr_in*>(target);
    in->sin_family = AF_INET;
    std::memcpy(&in->sin_addr, address.bytes.data(), 4);
    return;
  }
  auto* in6 = reinterpret_cast<sockaddr_in6*>(target);
  in6->sin6_family = AF_INET6;
  std::memcpy(&in6->sin6_addr, address.bytes.data(), 16);
  if (IN6_IS_ADDR_LINKLOCAL(&in6->sin6_addr)) in6->sin6_scope_id = link.index;
}

size_t lay_out_addresses(char* block, uint32_t family, uint32_t flags,
                         const std::vector<Link>& links, const std::vector<Address>& addresses) {
  BlockWriter writer(block);
  net::QelAdapterAddresses* previous = nullptr;
  for (const Link& link : links) {
    auto* adapter = writer.take<net::QelAdapterAddresses>();
    char* name = writer.copy_text(link.name.c_str());
    char* description = writer.copy_text(link.name.c_str());
    if (adapter) {
      if (previous) previous->next = adapter;
      previous = adapter;
      adapter->length = sizeof *adapter;
      adapter->if_index = link.index;
      adapter->ipv6_if_index = link.index;
      adapter->adapter_name = name;
      adapter->description = description;
      adapter->friendly_name = name;
      adapter->physical_address_length = link.mac_length;
      std::memcpy(adapter->physical_address, link.mac.data(), link.mac_length);
      adapter->mtu = link.mtu;
      adapter->if_type = link.type;
      adapter->oper_status = link.up() ? net::kIfOperStatusUp : net::kIfOperStatusDown;
      adapter->zone_indices[0] = link.index;
    }
    if (flags & net::kGaaSkipUnicast) continue;
    net::QelAdapterUnicastAddress* tail = nullptr;
    for (const Address* address : addresses_of(link, addresses, static_cast<int>(family))) {
      auto* unicast = writer.take<net::QelAdapterUnicastAddress>();
      auto* socket_address = static_cast<sockaddr*>(writer.take(sockaddr_size(address->family)));
      if (!unicast) continue;
      unicast->length = sizeof *unicast;
      unicast->address.sockaddr_ptr = socket_address;
      unicast->address.sockaddr_length = static_cast<int32_t>(sockaddr_size(address->family));
      unicast->on_link_prefix_length = address->prefix_length;
      fill_sockaddr(*address, link, socket_address);
      if (tail) {
        tail->next = unicast;
      } else {
        adapter->first_unicast_address = unicast;
      }
      tail = unicast;
    }
  }
  return writer.used();
}

// Sizes travel as 32-bit values; a list larger than that cannot be handed out.
bool fits_size(size_t needed) { return needed <= std::numeric_limits<uint32_t>::max(); }

}  // namespace

uint32_t adapters_info(net::QelIpAdapterInfo* info, uint32_t* size) {
  if (!size) return net::kIpHelpInvalidParameter;
  std::vector<Link> links;
  std::vector<Address> addresses;
  if (!read_links(&links) || !read_addresses(AF_INET, &addresses)) return net::kIpHelpGenFailure;
  size_t needed = lay_out_info(nullptr, links, addresses);
  if (needed == 0) return net::kIpHelpNoData;
  if (!fits_size(needed)) return net::kIpHelpNotEnoughMemory;
  if (!info || *size < needed) {
    *size = static_cast<uint32_t>(needed);
    return net::kIpHelpBufferOverflow;
  }
  lay_out_info(reinterpret_cast<char*>(info), links, addresses);
  return net::kIpHelpOk;
}

uint32_t adapters_addresses(uint32_t family, uint32_t flags, net::QelAdapterAddresses* addresses,
                            uint32_t* size) {
  if (!size || (family != AF_UNSPEC && family != AF_INET && family != AF_INET6)) {
    return net::kIpHelpInvalidParameter;
  }
  std::vector<Link> links;
  std::vector<Address> all;
  if (!read_links(&links) || !read_addresses(static_cast<int>(family), &all)) {
    return net::kIpHelpGenFailure;
  }
  size_t needed = lay_out_addresses(nullptr, family, flags, links, all);
  if (needed == 0) return net::kIpHelpNoData;
  if (!fits_size(needed)) return net::kIpHelpNotEnoughMemory;
  if (!addresses || *size < needed) {
    *size = static_cast<uint32_t>(needed);
    return net::kIpHelpBufferOverflow;
  }
  lay_out_addresses(reinterpret_cast<char*>(addresses), family, flags, links, all);
  return net::kIpHelpOk;
}

uint32_t best_interface(const sockaddr* destination, uint32_t* best_if_index) {
  if (!destination || !best_if_index ||
      (destination->sa_family != AF_INET && destination->sa_family != AF_INET6)) {
    return net::kIpHelpInvalidParameter;
  }
  switch (route_interface(destination, best_if_index)) {
    case RouteAnswer::kFound:
      return net::kIpHelpOk;
    case RouteAnswer::kNoRoute:
      return net::kIpHelpNotFound;
    case RouteAnswer::kFailed:
      break;
  }
  return net::kIpHelpGenFailure;
}

}  // namespace orv::iphelp
