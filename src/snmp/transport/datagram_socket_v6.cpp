#include <netdb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "net/address_text.h"
#include "net/socket_api.h"
#include "snmp/transport/datagram_socket_families.h"

namespace orv {

using net::NQelSocketAPI;

namespace {

constexpr uint32_t kHostBufferSize = 1025;
constexpr uint32_t kServiceBufferSize = 32;

}  // namespace

Result DataGramSocketV6::startup() { return NQelSocketAPI::start_v22(); }

Result DataGramSocketV6::set_any_address() { return store_any_address(local_.get()); }

Result DataGramSocketV6::create_handle() {
  int family = net::family_of_protocol(IQelNetworkAddress::kProtocolIpv6);
  handle_ = NQelSocketAPI::pfn_socket(family, SOCK_DGRAM, 0);
  return handle_ == net::kQelInvalidSocket ? kErrSocketCreate : kOk;
}

Result DataGramSocketV6::to_sockaddr(const IQelNetworkAddress* address, sockaddr_storage* out,
                                     int* length) {
  const char* text = address ? address->text() : nullptr;
  if (!text || !out || !length) return kErrInvalidArg;
  if (!NQelSocketAPI::pfn_getaddrinfo || !NQelSocketAPI::pfn_freeaddrinfo) return kErrPlatform;
  char service[kServiceBufferSize];
  snprintf(service, sizeof service, "%d", address->port());
  addrinfo hints{};
  hints.ai_flags = AI_PASSIVE;
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* found = nullptr;
  if (NQelSocketAPI::pfn_getaddrinfo(text, service, &hints, &found) != 0 || !found) {
    return kErrInvalidArg;
  }
  Result rc = kErrInvalidArg;
  // The first answer is taken; one that does not fit the buffer is refused.
  if (found->ai_addr && found->ai_addrlen <= sizeof(sockaddr_storage)) {
    *out = sockaddr_storage{};
    std::memcpy(out, found->ai_addr, found->ai_addrlen);
    *length = static_cast<int>(found->ai_addrlen);
    rc = kOk;
  }
  NQelSocketAPI::pfn_freeaddrinfo(found);
  return rc;
}

Result DataGramSocketV6::from_sockaddr(const sockaddr* address, int length,
                                       IQelNetworkAddress* out) {
  if (!address || !out || length <= 0) return kErrInvalidArg;
  if (!NQelSocketAPI::pfn_getnameinfo) return kErrPlatform;
  char host[kHostBufferSize];
  char service[kServiceBufferSize];
  if (NQelSocketAPI::pfn_getnameinfo(address, static_cast<socklen_t>(length), host, sizeof host,
                                     service, sizeof service,
                                     NI_NUMERICHOST | NI_NUMERICSERV) != 0) {
    return kErrPlatform;
  }
  auto port = static_cast<uint16_t>(std::strtoul(service, nullptr, 10));
  Result rc = out->init(host, net::protocol_of_family(address->sa_family), port);
  if (rc != kOk) return rc;
  return out->set_port(port);
}

// A text of several printings (and a scope): the object is always made.
bool DataGramSocketV6::same_host(const sockaddr*, int, const IQelNetworkAddress*, uint16_t*) const { return false; }

}  // namespace orv
