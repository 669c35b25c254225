#include <cstring>

#include "net/socket_api.h"
#include "snmp/transport/datagram_socket_families.h"
#include "snmp/transport/ipx_sockaddr.h"

namespace orv {

using net::NQelSocketAPI;

namespace {

constexpr int kIpxDatagramProtocol = 1000;

}  // namespace

Result DataGramSocketIpx::startup() { return NQelSocketAPI::start_v11(); }

Result DataGramSocketIpx::set_any_address() { return store_any_address(local_.get()); }

Result DataGramSocketIpx::create_handle() {
  handle_ = NQelSocketAPI::pfn_socket(AF_IPX, SOCK_DGRAM, kIpxDatagramProtocol);
  return handle_ == net::kQelInvalidSocket ? kErrSocketCreate : kOk;
}

Result DataGramSocketIpx::to_sockaddr(const IQelNetworkAddress* address, sockaddr_storage* out,
                                      int* length) {
  if (!address || !out || !length) return kErrInvalidArg;
  session::QelSockaddrIpx ipx{};
  Result rc = session::ipx_text_to_sockaddr(address->text(), address->port(), &ipx);
  if (rc != kOk) return rc;
  *out = sockaddr_storage{};
  std::memcpy(out, &ipx, sizeof ipx);
  *length = sizeof ipx;
  return kOk;
}

Result DataGramSocketIpx::from_sockaddr(const sockaddr* address, int length,
                                        IQelNetworkAddress* out) {
  if (!address || !out || length < static_cast<int>(sizeof(session::QelSockaddrIpx)) ||
      address->sa_family != AF_IPX) {
    return kErrInvalidArg;
  }
  session::QelSockaddrIpx ipx;
  std::memcpy(&ipx, address, sizeof ipx);
  uint16_t port = session::ipx_sockaddr_port(ipx);
  Result rc = out->init(session::ipx_sockaddr_text(ipx).c_str(), IQelNetworkAddress::kProtocolIpx,
                        port);
  if (rc != kOk) return rc;
  return out->set_port(port);
}

// No IPX sockets open here: the object is always made.
bool DataGramSocketIpx::same_host(const sockaddr*, int, const IQelNetworkAddress*, uint16_t*) const { return false; }

}  // namespace orv
