#include <netinet/in.h>

#include <cstring>

#include "net/ipv4_text_address.h"
#include "net/socket_api.h"
#include "snmp/transport/datagram_socket_families.h"
#include "snmp/smi/address_forms.h"

namespace orv {

using net::NQelSocketAPI;

Result DataGramSocketV4::startup() { return NQelSocketAPI::start_v11(); }

Result DataGramSocketV4::set_any_address() { return store_any_address(local_.get()); }

Result DataGramSocketV4::create_handle() {
  handle_ = NQelSocketAPI::pfn_socket(AF_INET, SOCK_DGRAM, 0);
  return handle_ == net::kQelInvalidSocket ? kErrSocketCreate : kOk;
}

Result DataGramSocketV4::to_sockaddr(const IQelNetworkAddress* address, sockaddr_storage* out,
                                     int* length) {
  const char* text = address ? address->text() : nullptr;
  if (!text || !out || !length) return kErrInvalidArg;
  uint32_t host = 0;
  if (!net::ipv4_text_to_address(text, &host)) return kErrInvalidArg;
  sockaddr_in v4{};
  v4.sin_family = AF_INET;
  v4.sin_port = NQelSocketAPI::pfn_htons(address->port());
  v4.sin_addr.s_addr = host;
  *out = sockaddr_storage{};
  std::memcpy(out, &v4, sizeof v4);
  *length = sizeof v4;
  return kOk;
}

Result DataGramSocketV4::from_sockaddr(const sockaddr* address, int length,
                                       IQelNetworkAddress* out) {
  if (!address || !out || length < static_cast<int>(sizeof(sockaddr_in)) ||
      address->sa_family != AF_INET) {
    return kErrInvalidArg;
  }
  sockaddr_in v4;
  std::memcpy(&v4, address, sizeof v4);
  const char* text = NQelSocketAPI::pfn_inet_ntoa(v4.sin_addr);
  if (!text) return kErrPlatform;
  uint16_t port = NQelSocketAPI::pfn_ntohs(v4.sin_port);
  Result rc = out->init(text, IQelNetworkAddress::kProtocolIpv4, port);
  if (rc != kOk) return rc;
  return out->set_port(port);
}

bool DataGramSocketV4::same_host(const sockaddr* address, int length, const IQelNetworkAddress* object,
                                 uint16_t* port) const {
  if (!address || !object || !port || length < static_cast<int>(sizeof(sockaddr_in)) ||
      address->sa_family != AF_INET || object->protocol() != IQelNetworkAddress::kProtocolIpv4) {
    return false;
  }
  const char* held = object->text();
  if (!held) return false;
  sockaddr_in v4;
  std::memcpy(&v4, address, sizeof v4);
  // The dotted decimal printing that inet_ntoa gives from_sockaddr().
  uint8_t octets[smi::kIpv4Octets];
  std::memcpy(octets, &v4.sin_addr, sizeof octets);
  char text[smi::kIpv4TextSize];
  smi::format_ipv4(octets, text);
  if (std::strcmp(text, held) != 0) return false;
  *port = NQelSocketAPI::pfn_ntohs(v4.sin_port);
  return true;
}

}  // namespace orv
