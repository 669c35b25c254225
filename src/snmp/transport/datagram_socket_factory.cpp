#include <new>

#include "snmp/transport/datagram_socket_families.h"

namespace orv {

namespace {

struct DeleteHalfBuilt {
  void operator()(DataGramSocket* socket) const {
    if (socket) socket->destroy();
  }
};

}  // namespace

const char* any_address_text(int32_t protocol) {
  switch (protocol) {
    case IQelNetworkAddress::kProtocolIpv4:
      return "0.0.0.0";
    case IQelNetworkAddress::kProtocolIpx:
      return "00000000:000000000000";
    case IQelNetworkAddress::kProtocolIpv6:
      return "0000:0000:0000:0000:0000:0000:0000:0000";
    default:
      return nullptr;
  }
}

Result store_any_address(IQelNetworkAddress* local) {
  const char* text = local ? any_address_text(local->protocol()) : nullptr;
  if (!text) return kErrNoValue;
  return local->init(text, IQelNetworkAddress::kProtocolUnspecified, 0);
}

Result create_datagram_socket(int32_t protocol, uint16_t local_port, IDataGramSocket** out, bool ipv6_only) {
  if (!out) return kErrInvalidArg;
  *out = nullptr;
  Result rc = kOk;
  NetworkAddressPtr local(qel_create_network_address(&rc));
  if (!local) return rc != kOk ? rc : kErrNoMemory;
  auto family = static_cast<IQelNetworkAddress::EProtocol>(protocol);
  local->set_protocol(family);
  local->set_port(local_port);
  std::unique_ptr<DataGramSocket, DeleteHalfBuilt> socket;
  switch (protocol) {
    case IQelNetworkAddress::kProtocolIpv4:
      socket.reset(new (std::nothrow) DataGramSocketV4(std::move(local)));
      break;
    case IQelNetworkAddress::kProtocolIpx:
      socket.reset(new (std::nothrow) DataGramSocketIpx(std::move(local)));
      break;
    case IQelNetworkAddress::kProtocolIpv6:
      socket.reset(new (std::nothrow) DataGramSocketV6(std::move(local)));
      break;
    default:
      return kErrInvalidArg;
  }
  if (!socket) return kErrNoMemory;
  rc = socket->set_any_address();
  if (rc != kOk) return rc;
  rc = socket->open(ipv6_only);
  if (rc != kOk) return rc;
  *out = socket.release();
  return kOk;
}

Result create_datagram_socket(int32_t protocol, IDataGramSocket** out) {
  return create_datagram_socket(protocol, 0, out);
}

}  // namespace orv
