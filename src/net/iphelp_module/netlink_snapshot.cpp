#include "iphelp_module/netlink_snapshot.h"

#include <arpa/inet.h>
#include <linux/if_addr.h>
#include <linux/rtnetlink.h>
#include <net/if.h>

#include <algorithm>
#include <cstring>

#include "iphelp_module/netlink_socket.h"
#include "net/interface_kind.h"
#include "net/iphelp_types.h"

namespace orv::iphelp {
namespace {

// A request header followed by one family-specific block.
template <typename Body>
struct Request {
  nlmsghdr header;
  Body body;
  char attributes[64];
};

template <typename Body>
Request<Body> make_request(uint16_t type, uint16_t flags) {
  Request<Body> request{};
  request.header.nlmsg_len = NLMSG_LENGTH(sizeof(Body));
  request.header.nlmsg_type = type;
  request.header.nlmsg_flags = NLM_F_REQUEST | flags;
  return request;
}

// Appends one attribute; false when it does not fit the request.
template <typename Body>
bool add_attribute(Request<Body>* request, uint16_t type, const void* data, size_t length) {
  size_t at = NLMSG_ALIGN(request->header.nlmsg_len);
  size_t total = RTA_LENGTH(length);
  if (at + RTA_ALIGN(total) > sizeof(*request)) return false;
  auto* attribute = reinterpret_cast<rtattr*>(reinterpret_cast<char*>(request) + at);
  attribute->rta_type = type;
  attribute->rta_len = static_cast<unsigned short>(total);
  std::memcpy(RTA_DATA(attribute), data, length);
  request->header.nlmsg_len = static_cast<uint32_t>(at + RTA_ALIGN(total));
  return true;
}

// Calls `on_attribute` for each attribute after the message's fixed block.
template <typename Body, typename Visit>
void for_each_attribute(const nlmsghdr* message, Visit on_attribute) {
  if (message->nlmsg_len < NLMSG_LENGTH(sizeof(Body))) return;
  const auto* body = static_cast<const Body*>(NLMSG_DATA(message));
  int length = static_cast<int>(message->nlmsg_len - NLMSG_LENGTH(sizeof(Body)));
  for (const auto* attribute = reinterpret_cast<const rtattr*>(
           reinterpret_cast<const char*>(body) + NLMSG_ALIGN(sizeof(Body)));
       RTA_OK(attribute, length); attribute = RTA_NEXT(attribute, length)) {
    on_attribute(attribute);
  }
}

uint32_t read_u32(const rtattr* attribute) {
  uint32_t value = 0;
  if (RTA_PAYLOAD(attribute) >= sizeof value) std::memcpy(&value, RTA_DATA(attribute), sizeof value);
  return value;
}

void parse_link(const nlmsghdr* message, std::vector<Link>* links) {
  if (message->nlmsg_type != RTM_NEWLINK) return;
  if (message->nlmsg_len < NLMSG_LENGTH(sizeof(ifinfomsg))) return;
  const auto* info = static_cast<const ifinfomsg*>(NLMSG_DATA(message));
  Link link;
  link.index = static_cast<uint32_t>(info->ifi_index);
  link.type = net::interface_type_from_hardware(info->ifi_type);
  link.flags = info->ifi_flags;
  for_each_attribute<ifinfomsg>(message, [&](const rtattr* attribute) {
    size_t payload = RTA_PAYLOAD(attribute);
    if (attribute->rta_type == IFLA_IFNAME) {
      link.name.assign(static_cast<const char*>(RTA_DATA(attribute)),
                       strnlen(static_cast<const char*>(RTA_DATA(attribute)), payload));
    } else if (attribute->rta_type == IFLA_MTU) {
      link.mtu = read_u32(attribute);
    } else if (attribute->rta_type == IFLA_ADDRESS) {
      link.mac_length = static_cast<uint32_t>(std::min(payload, link.mac.size()));
      std::memcpy(link.mac.data(), RTA_DATA(attribute), link.mac_length);
    }
  });
  // Loopback's all-zero hardware address is no address at all.
  if (link.type == net::kIfTypeLoopback) link.mac_length = 0;
  links->push_back(link);
}

void parse_address(const nlmsghdr* message, std::vector<Address>* addresses) {
  if (message->nlmsg_type != RTM_NEWADDR) return;
  if (message->nlmsg_len < NLMSG_LENGTH(sizeof(ifaddrmsg))) return;
  const auto* info = static_cast<const ifaddrmsg*>(NLMSG_DATA(message));
  if (info->ifa_family != AF_INET && info->ifa_family != AF_INET6) return;
  Address address;
  address.index = info->ifa_index;
  address.family = info->ifa_family;
  address.prefix_length = info->ifa_prefixlen;
  size_t size = info->ifa_family == AF_INET ? 4 : 16;
  bool have_local = false;
  bool have_any = false;
  for_each_attribute<ifaddrmsg>(message, [&](const rtattr* attribute) {
    // On point-to-point links IFA_ADDRESS is the peer; IFA_LOCAL is ours.
    bool local = attribute->rta_type == IFA_LOCAL;
    if ((local || (attribute->rta_type == IFA_ADDRESS && !have_local)) &&
        RTA_PAYLOAD(attribute) >= size) {
      std::memcpy(address.bytes.data(), RTA_DATA(attribute), size);
      have_local = have_local || local;
      have_any = true;
    }
  });
  if (have_any) addresses->push_back(address);
}

uint32_t route_type(const rtmsg* info, uint32_t next_hop) {
  if (info->rtm_type == RTN_UNREACHABLE || info->rtm_type == RTN_BLACKHOLE ||
      info->rtm_type == RTN_PROHIBIT) {
    return net::kRouteTypeInvalid;
  }
  return next_hop ? net::kRouteTypeIndirect : net::kRouteTypeDirect;
}

void parse_route(const nlmsghdr* message, std::vector<Route>* routes) {
  if (message->nlmsg_type != RTM_NEWROUTE) return;
  if (message->nlmsg_len < NLMSG_LENGTH(sizeof(rtmsg))) return;
  const auto* info = static_cast<const rtmsg*>(NLMSG_DATA(message));
  if (info->rtm_family != AF_INET || (info->rtm_flags & RTM_F_CLONED)) return;
  // The main table's forwarding routes, and the local table's host routes of
  // local and broadcast addresses, which the platform's routing table lists
  // beside them (a broadcast address is found on its interface that way).
  if (info->rtm_type == RTN_MULTICAST) return;
  bool host_route = info->rtm_type == RTN_BROADCAST || info->rtm_type == RTN_LOCAL;
  uint32_t table = info->rtm_table;
  Route route;
  route.mask = mask_from_prefix(info->rtm_dst_len);
  route.proto = info->rtm_protocol;
  for_each_attribute<rtmsg>(message, [&](const rtattr* attribute) {
    switch (attribute->rta_type) {
      case RTA_TABLE:
        table = read_u32(attribute);
        break;
      case RTA_DST:
        route.dest = read_u32(attribute);
        break;
      case RTA_GATEWAY:
        route.next_hop = read_u32(attribute);
        break;
      case RTA_OIF:
        route.if_index = read_u32(attribute);
        break;
      case RTA_PRIORITY:
        route.metric = read_u32(attribute);
        break;
      case RTA_MULTIPATH:
        // The first next hop stands for the route, as the kernel's own
        // text table shows it.
        if (RTA_PAYLOAD(attribute) >= sizeof(rtnexthop) && route.if_index == 0) {
          const auto* hop = static_cast<const rtnexthop*>(RTA_DATA(attribute));
          route.if_index = static_cast<uint32_t>(hop->rtnh_ifindex);
        }
        break;
      default:
        break;
    }
  });
  if (table != (host_route ? RT_TABLE_LOCAL : RT_TABLE_MAIN)) return;
  route.type = route_type(info, route.next_hop);
  routes->push_back(route);
}

}  // namespace

bool Link::up() const { return flags & IFF_UP; }

uint32_t mask_from_prefix(uint8_t prefix_length) {
  if (prefix_length == 0) return 0;
  if (prefix_length >= 32) return 0xffffffffu;
  return htonl(~((1u << (32 - prefix_length)) - 1));
}

bool read_links(std::vector<Link>* links) {
  links->clear();
  auto request = make_request<ifinfomsg>(RTM_GETLINK, NLM_F_DUMP);
  request.body.ifi_family = AF_UNSPEC;
  return netlink_exchange(&request.header, [&](const nlmsghdr* m) { parse_link(m, links); });
}

bool read_addresses(int family, std::vector<Address>* addresses) {
  addresses->clear();
  auto request = make_request<ifaddrmsg>(RTM_GETADDR, NLM_F_DUMP);
  request.body.ifa_family = static_cast<unsigned char>(family);
  std::vector<Address> all;
  if (!netlink_exchange(&request.header, [&](const nlmsghdr* m) { parse_address(m, &all); })) {
    return false;
  }
  for (const Address& address : all) {
    if (family == AF_UNSPEC || address.family == family) addresses->push_back(address);
  }
  return true;
}

bool read_ipv4_routes(std::vector<Route>* routes) {
  routes->clear();
  auto request = make_request<rtmsg>(RTM_GETROUTE, NLM_F_DUMP);
  request.body.rtm_family = AF_INET;
  return netlink_exchange(&request.header, [&](const nlmsghdr* m) { parse_route(m, routes); });
}

RouteAnswer route_interface(const sockaddr* destination, uint32_t* if_index) {
  auto request = make_request<rtmsg>(RTM_GETROUTE, 0);
  request.body.rtm_family = static_cast<unsigned char>(destination->sa_family);
  if (destination->sa_family == AF_INET) {
    const auto* in = reinterpret_cast<const sockaddr_in*>(destination);
    request.body.rtm_dst_len = 32;
    add_attribute(&request, RTA_DST, &in->sin_addr, sizeof in->sin_addr);
  } else {
    const auto* in6 = reinterpret_cast<const sockaddr_in6*>(destination);
    request.body.rtm_dst_len = 128;
    add_attribute(&request, RTA_DST, &in6->sin6_addr, sizeof in6->sin6_addr);
    // A scoped (link-local) destination is reached through its own link.
    if (in6->sin6_scope_id != 0) {
      uint32_t scope = in6->sin6_scope_id;
      add_attribute(&request, RTA_OIF, &scope, sizeof scope);
    }
  }
  bool found = false;
  int kernel_error = 0;
  bool ok = netlink_exchange(
      &request.header,
      [&](const nlmsghdr* message) {
        if (message->nlmsg_type != RTM_NEWROUTE) return;
        for_each_attribute<rtmsg>(message, [&](const rtattr* attribute) {
          if (attribute->rta_type == RTA_OIF) {
            *if_index = read_u32(attribute);
            found = true;
          }
        });
      },
      &kernel_error);
  if (ok) return found ? RouteAnswer::kFound : RouteAnswer::kNoRoute;
  return kernel_error != 0 ? RouteAnswer::kNoRoute : RouteAnswer::kFailed;
}

}  // namespace orv::iphelp
