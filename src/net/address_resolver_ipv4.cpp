#include "net/address_resolver_ipv4.h"

#include <cstring>

#include "net/address_text.h"
#include "net/ipv4_text_address.h"
#include "snmp/smi/qel_buffer.h"

namespace orv::net {

namespace {

// The entry's address at `index` as dotted text; false past the last one.
bool host_entry_text(const hostent& host, size_t index, std::string* text) {
  if (!host.h_addr_list || !host.h_addr_list[index] || host.h_addrtype != AF_INET ||
      host.h_length != static_cast<int>(sizeof(in_addr))) {
    return false;
  }
  in_addr address{};
  std::memcpy(&address, host.h_addr_list[index], sizeof address);
  const char* printed = NQelSocketAPI::pfn_inet_ntoa(address);
  if (!printed) return false;
  *text = printed;
  return true;
}

}  // namespace

Result CQelAddressResolver::normalise_text(const char* text, IQelBuffer** normalised) {
  if (!text || !normalised) return kErrInvalidArg;
  std::string direct;
  Result result = normalise_ipv4_or_ipx(text, &direct);
  if (result != kOk) return result;
  return new_text_buffer(direct, normalised);
}

Result CQelAddressResolver::detect_protocol(const char* text, EProtocol* protocol) {
  if (!protocol) return kErrInvalidArg;
  if (!text) {
    *protocol = IQelNetworkAddress::kProtocolUnspecified;
    return kErrInvalidArg;
  }
  return detect_ipv4_or_ipx(text, protocol);
}

Result CQelAddressResolver::resolve_name(const char* name, IQelNetworkAddressList** addresses) {
  if (!name || !addresses) return kErrInvalidArg;
  SocketStartGuard started(false);
  if (started.result() != kOk) return started.result();
  const hostent* host = NQelSocketAPI::pfn_gethostbyname(name);
  if (!host) return kErrPlatform;
  Result result = kOk;
  QelPtr<IQelNetworkAddressList> found(qel_create_network_address_list(&result));
  if (!found) return result;
  std::string text;
  for (size_t i = 0; host_entry_text(*host, i, &text); ++i) {
    IQelNetworkAddress* address =
        qel_create_network_address_with_protocol(text.c_str(), protocol_of_family(host->h_addrtype), 0, &result);
    if (!address) return result;
    result = found->append(address);
    if (result != kOk) return result;
  }
  *addresses = found.release();
  return kOk;
}

Result CQelAddressResolver::host_name(const char* address, IQelBuffer** name) {
  if (!address || !name) return kErrInvalidArg;
  SocketStartGuard started(false);
  if (started.result() != kOk) return started.result();
  uint32_t numeric = 0;
  if (!ipv4_text_to_address(address, &numeric)) return kErrPlatform;
  const hostent* host =
      NQelSocketAPI::pfn_gethostbyaddr(reinterpret_cast<const char*>(&numeric), sizeof numeric, AF_INET);
  if (!host || !host->h_name) return kErrPlatform;
  return new_text_buffer(host->h_name, name);
}

Result CQelAddressResolver::local_address(EProtocol protocol, IQelNetworkAddress** address) {
  if (!address) return kErrInvalidArg;
  // These calls know IPv4 only: an IPv6 answer cannot come from them.
  if (protocol == IQelNetworkAddress::kProtocolIpx || protocol == IQelNetworkAddress::kProtocolIpv6) {
    return kErrNotSupported;
  }
  if (protocol == IQelNetworkAddress::kProtocolNone) return kErrInvalidArg;
  SocketStartGuard started(false);
  if (started.result() != kOk) return started.result();
  char host_name_text[kHostBufferSize] = "";
  if (NQelSocketAPI::pfn_gethostname(host_name_text, sizeof host_name_text - 1) != 0) return kErrPlatform;
  const hostent* host = NQelSocketAPI::pfn_gethostbyname(host_name_text);
  std::string text;
  if (!host || !host_entry_text(*host, 0, &text)) return kErrPlatform;
  Result result = kOk;
  IQelNetworkAddress* made =
      qel_create_network_address_with_protocol(text.c_str(), protocol_of_family(host->h_addrtype), 0, &result);
  if (!made) return result;
  *address = made;
  return kOk;
}

Result CQelAddressResolver::service_port(const char* service, EProtocol, uint16_t* port) {
  if (!service || !port) return kErrInvalidArg;
  SocketStartGuard started(false);
  if (started.result() != kOk) return started.result();
  const servent* entry = NQelSocketAPI::pfn_getservbyname(service, "udp");
  if (!entry) return kErrNoValue;
  *port = NQelSocketAPI::pfn_ntohs(static_cast<uint16_t>(entry->s_port));
  return kOk;
}

Result CQelAddressResolver::ipv6_source_text(const IQelNetworkAddress&, std::string*) {
  return kErrNotSupported;
}

}  // namespace orv::net
