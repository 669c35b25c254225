// The resolver variant over getaddrinfo/getnameinfo: IPv4 and IPv6 alike,
// and the IPX text form by itself.
#pragma once

#include "net/address_resolver_common.h"

namespace orv::net {

class CQelAddressResolverEx final : public CQelAddressResolverBase {
 public:
  Result normalise_text(const char* text, IQelBuffer** normalised) override;
  Result detect_protocol(const char* text, EProtocol* protocol) override;
  Result resolve_name(const char* name, IQelNetworkAddressList** addresses) override;
  Result host_name(const char* address, IQelBuffer** name) override;
  Result local_address(EProtocol protocol, IQelNetworkAddress** address) override;
  Result service_port(const char* service, EProtocol protocol, uint16_t* port) override;

 protected:
  bool uses_version22() const override { return true; }
  Result ipv6_source_text(const IQelNetworkAddress& destination, std::string* source) override;
};

}  // namespace orv::net
