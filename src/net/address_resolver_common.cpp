#include "net/address_resolver_common.h"

#include "net/address_text.h"
#include "net/local_address_lookup.h"
#include "net/local_interfaces.h"
#include "snmp/smi/qel_buffer.h"

namespace orv::net {

Result new_text_buffer(const std::string& text, IQelBuffer** out) {
  Result result = kOk;
  BufferPtr buffer(qel_create_buffer(&result));
  if (!buffer) return result != kOk ? result : kErrNoMemory;
  result = buffer->set_bytes(text.data(), static_cast<uint32_t>(text.size()));
  if (result != kOk) return result;
  *out = buffer.release();
  return kOk;
}

Result CQelAddressResolverBase::source_address(const IQelNetworkAddress* destination,
                                               IQelNetworkAddress** source) {
  if (!destination || !source) return kErrInvalidArg;
  switch (destination->protocol()) {
    case IQelNetworkAddress::kProtocolIpv4:
      return qel_local_address_for_destination(destination, source);
    case IQelNetworkAddress::kProtocolIpv6: {
      std::string text;
      Result result = ipv6_source_text(*destination, &text);
      if (result != kOk) return result;
      IQelNetworkAddress* made = qel_create_network_address_with_protocol(
          text.c_str(), destination->protocol(), destination->port(), &result);
      if (!made) return result;
      *source = made;
      return kOk;
    }
    case IQelNetworkAddress::kProtocolIpx:
      return kErrNotSupported;
    default:
      return kErrInvalidArg;
  }
}

bool CQelAddressResolverBase::can_open_socket(EProtocol protocol) {
  int family = family_of_protocol(protocol);
  if (family == AF_UNSPEC) return false;
  SocketStartGuard started(uses_version22());
  if (started.result() != kOk) return false;
  QelSocket s = NQelSocketAPI::pfn_socket(family, SOCK_DGRAM, 0);
  if (s == kQelInvalidSocket) return false;
  NQelSocketAPI::pfn_closesocket(s);
  return true;
}

Result CQelAddressResolverBase::has_usable_interface(EProtocol protocol, bool* usable) {
  if (!usable) return kErrInvalidArg;
  return local_has_usable_interface(protocol, usable,
                                    [this](EProtocol p) { return can_open_socket(p); });
}

Result CQelAddressResolverBase::interface_count(EProtocol protocol, int32_t* count) {
  if (!count) return kErrInvalidArg;
  return local_interface_count(protocol, count);
}

Result CQelAddressResolverBase::interface_mac(const char* address, EProtocol protocol, IQelBuffer** mac) {
  if (!mac) return kErrInvalidArg;
  auto normalise = [this](const std::string& text) {
    IQelBuffer* raw = nullptr;
    Result result = normalise_text(text.c_str(), &raw);
    BufferPtr normalised(raw);
    return result == kOk && normalised ? std::string(normalised->c_str()) : text;
  };
  std::string found;
  Result result = local_interface_mac(address ? address : "", protocol, normalise, &found);
  if (result != kOk) return result;
  return new_text_buffer(found, mac);
}

Result CQelAddressResolverBase::is_local_mac(const char* mac, bool* local) {
  if (!mac || !local) return kErrInvalidArg;
  return local_is_local_mac(mac, local);
}

}  // namespace orv::net
