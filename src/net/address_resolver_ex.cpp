#include "net/address_resolver_ex.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#include "net/address_text.h"
#include "net/local_interfaces.h"
#include "snmp/smi/qel_buffer.h"

namespace orv::net {

namespace {

constexpr size_t kServiceBufferSize = 32;

struct AddrInfoRelease {
  void operator()(addrinfo* list) const {
    if (list) NQelSocketAPI::pfn_freeaddrinfo(list);
  }
};
using AddrInfoPtr = std::unique_ptr<addrinfo, AddrInfoRelease>;

Result lookup(const char* node, const char* service, int flags, int family, AddrInfoPtr* list) {
  if (!NQelSocketAPI::pfn_getaddrinfo || !NQelSocketAPI::pfn_getnameinfo ||
      !NQelSocketAPI::pfn_freeaddrinfo) {
    return kErrLoad;
  }
  addrinfo hints{};
  hints.ai_flags = flags;
  hints.ai_family = family;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* found = nullptr;
  int code = NQelSocketAPI::pfn_getaddrinfo(node, service, &hints, &found);
  list->reset(found);
  // Every failure, "no such name" included, is -1: a text that is no address
  // must not read as a printer that lacked a value (-7).
  if (code != 0) return kErrPlatform;
  return found ? kOk : kErrNoValue;
}

Result numeric_lookup(const char* text, AddrInfoPtr* list) {
  return lookup(text, nullptr, AI_PASSIVE | AI_NUMERICHOST, AF_UNSPEC, list);
}

// getnameinfo into the fixed host and service buffers; either may be skipped.
Result name_info(const sockaddr* address, socklen_t length, int flags, std::string* host,
                 std::string* service) {
  char host_text[kHostBufferSize] = "";
  char service_text[kServiceBufferSize] = "";
  int code = NQelSocketAPI::pfn_getnameinfo(address, length, host ? host_text : nullptr,
                                            host ? sizeof host_text : 0,
                                            service ? service_text : nullptr,
                                            service ? sizeof service_text : 0, flags);
  if (code != 0) return kErrPlatform;
  if (host) *host = host_text;
  if (service) *service = service_text;
  return kOk;
}

uint16_t port_of(const std::string& service) {
  return static_cast<uint16_t>(std::strtoul(service.c_str(), nullptr, 10));
}

}  // namespace

Result CQelAddressResolverEx::normalise_text(const char* text, IQelBuffer** normalised) {
  if (!text || !normalised) return kErrInvalidArg;
  EProtocol protocol = IQelNetworkAddress::kProtocolUnspecified;
  Result result = detect_protocol(text, &protocol);
  if (result != kOk) return result;
  // IPX is copied; a dotted quad is read in decimal as the IPv4-only variant
  // does, rather than the C library's octal reading of leading zeros.
  std::string direct;
  if (normalise_ipv4_or_ipx(text, &direct) == kOk) return new_text_buffer(direct, normalised);
  SocketStartGuard started(true);
  if (started.result() != kOk) return started.result();
  AddrInfoPtr list;
  result = numeric_lookup(text, &list);
  if (result != kOk) return result;
  std::string host;
  result = name_info(list->ai_addr, list->ai_addrlen, NI_NUMERICHOST, &host, nullptr);
  if (result != kOk) return result;
  return new_text_buffer(host, normalised);
}

Result CQelAddressResolverEx::detect_protocol(const char* text, EProtocol* protocol) {
  if (!protocol) return kErrInvalidArg;
  *protocol = IQelNetworkAddress::kProtocolUnspecified;
  if (!text) return kErrInvalidArg;
  if (detect_ipv4_or_ipx(text, protocol) == kOk) return kOk;
  SocketStartGuard started(true);
  if (started.result() != kOk) return started.result();
  AddrInfoPtr list;
  Result result = numeric_lookup(text, &list);
  if (result != kOk) return result;
  *protocol = protocol_of_family(list->ai_family);
  return kOk;
}

Result CQelAddressResolverEx::resolve_name(const char* name, IQelNetworkAddressList** addresses) {
  if (!name || !addresses) return kErrInvalidArg;
  SocketStartGuard started(true);
  if (started.result() != kOk) return started.result();
  AddrInfoPtr list;
  Result result = lookup(name, nullptr, AI_PASSIVE, AF_UNSPEC, &list);
  if (result != kOk) return result;
  QelPtr<IQelNetworkAddressList> found(qel_create_network_address_list(&result));
  if (!found) return result;
  for (const addrinfo* entry = list.get(); entry; entry = entry->ai_next) {
    std::string host, service;
    result = name_info(entry->ai_addr, entry->ai_addrlen, NI_NUMERICHOST | NI_NUMERICSERV, &host, &service);
    if (result != kOk) return result;
    IQelNetworkAddress* address = qel_create_network_address_with_protocol(
        host.c_str(), protocol_of_family(entry->ai_family), port_of(service), &result);
    if (!address) return result;
    result = found->append(address);
    if (result != kOk) return result;
  }
  *addresses = found.release();
  return kOk;
}

Result CQelAddressResolverEx::host_name(const char* address, IQelBuffer** name) {
  if (!address || !name) return kErrInvalidArg;
  SocketStartGuard started(true);
  if (started.result() != kOk) return started.result();
  AddrInfoPtr list;
  Result result = numeric_lookup(address, &list);
  if (result != kOk) return result;
  std::string host;
  result = name_info(list->ai_addr, list->ai_addrlen, NI_NAMEREQD, &host, nullptr);
  if (result != kOk) return result;
  return new_text_buffer(host, name);
}

Result CQelAddressResolverEx::local_address(EProtocol protocol, IQelNetworkAddress** address) {
  if (!address) return kErrInvalidArg;
  if (protocol == IQelNetworkAddress::kProtocolIpx) return kErrNotSupported;
  if (protocol == IQelNetworkAddress::kProtocolNone) return kErrInvalidArg;
  SocketStartGuard started(true);
  if (started.result() != kOk) return started.result();
  char host_name_text[kHostBufferSize] = "";
  if (NQelSocketAPI::pfn_gethostname(host_name_text, sizeof host_name_text - 1) != 0) return kErrPlatform;
  AddrInfoPtr list;
  Result result = lookup(host_name_text, nullptr, AI_PASSIVE, family_of_protocol(protocol), &list);
  if (result != kOk) return result;
  std::string host, service;
  result = name_info(list->ai_addr, list->ai_addrlen, NI_NUMERICHOST | NI_NUMERICSERV, &host, &service);
  if (result != kOk) return result;
  IQelNetworkAddress* made = qel_create_network_address_with_protocol(
      host.c_str(), protocol_of_family(list->ai_family), port_of(service), &result);
  if (!made) return result;
  *address = made;
  return kOk;
}

Result CQelAddressResolverEx::service_port(const char* service, EProtocol protocol, uint16_t* port) {
  if (!service || !port) return kErrInvalidArg;
  SocketStartGuard started(true);
  if (started.result() != kOk) return started.result();
  AddrInfoPtr list;
  Result result = lookup(nullptr, service, AI_PASSIVE, family_of_protocol(protocol), &list);
  if (result != kOk) return result;
  // Only the service is asked for, so no reverse lookup of the host is made.
  std::string number;
  result = name_info(list->ai_addr, list->ai_addrlen, NI_NUMERICSERV, nullptr, &number);
  if (result != kOk) return result;
  *port = port_of(number);
  return kOk;
}

Result CQelAddressResolverEx::ipv6_source_text(const IQelNetworkAddress& destination, std::string* source) {
  const char* text = destination.text();
  if (!text) return kErrInvalidArg;
  SocketStartGuard started(true);
  if (started.result() != kOk) return started.result();
  AddrInfoPtr list;
  Result result = numeric_lookup(text, &list);
  if (result != kOk) return result;
  if (list->ai_family != AF_INET6) return kErrInvalidArg;
  AdapterRecord adapter;
  result = local_source_adapter(list->ai_addr, &adapter);
  if (result != kOk) return result;
  sockaddr_in6 unicast{};
  unicast.sin6_family = AF_INET6;
  std::memcpy(&unicast.sin6_addr, adapter.unicast.data(), sizeof unicast.sin6_addr);
  unicast.sin6_scope_id = adapter.scope_id;
  return name_info(reinterpret_cast<const sockaddr*>(&unicast), sizeof unicast,
                   NI_NUMERICHOST, source, nullptr);
}

}  // namespace orv::net
