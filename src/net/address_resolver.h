// The process-wide address resolver: recognises, normalises, resolves and
// compares address texts and answers questions about the local interfaces.
// Two variants exist (address_resolver_ex.h over getaddrinfo/getnameinfo,
// address_resolver_ipv4.h over the older IPv4-only calls); the one used is
// chosen once, at first use, from the socket table.
#pragma once

#include <cstdint>

#include "net/network_address.h"
#include "result_codes.h"

namespace orv {

// The addresses a name resolves to. The list owns what is appended to it.
class IQelNetworkAddressList {
 public:
  virtual void release() = 0;
  virtual Result append(IQelNetworkAddress* address) = 0;  // takes ownership, also on failure
  virtual int32_t count() const = 0;
  virtual IQelNetworkAddress* at(int32_t index) const = 0;  // lent; nullptr out of range

 protected:
  virtual ~IQelNetworkAddressList() = default;
};

IQelNetworkAddressList* qel_create_network_address_list(Result* result = nullptr);

class IQelAddressResolver {
 public:
  using EProtocol = IQelNetworkAddress::EProtocol;

  // Slot order is part of the interface; do not reorder.
  virtual Result normalise_text(const char* text, IQelBuffer** normalised) = 0;           // 1
  virtual Result detect_protocol(const char* text, EProtocol* protocol) = 0;             // 2
  virtual Result resolve_name(const char* name, IQelNetworkAddressList** addresses) = 0;  // 3
  virtual Result host_name(const char* address, IQelBuffer** name) = 0;                  // 4
  virtual Result local_address(EProtocol protocol, IQelNetworkAddress** address) = 0;    // 5
  virtual Result service_port(const char* service, EProtocol protocol, uint16_t* port) = 0;  // 6
  virtual Result source_address(const IQelNetworkAddress* destination,
                                IQelNetworkAddress** source) = 0;                       // 7
  virtual Result has_usable_interface(EProtocol protocol, bool* usable) = 0;             // 8
  virtual Result interface_count(EProtocol protocol, int32_t* count) = 0;                // 9
  virtual Result interface_mac(const char* address, EProtocol protocol, IQelBuffer** mac) = 0;  // 10
  virtual Result is_local_mac(const char* mac, bool* local) = 0;                         // 11

 protected:
  virtual ~IQelAddressResolver() = default;
};

// The process-wide resolver, created on first use (-3 when it cannot be).
// It lives until the process ends; callers never release it.
IQelAddressResolver* qel_address_resolver(Result* result = nullptr);

// Each forwards to the process-wide resolver's operation of the same name.
Result qel_resolver_normalise_text(const char* text, IQelBuffer** normalised);
Result qel_resolver_detect_protocol(const char* text, IQelNetworkAddress::EProtocol* protocol);
Result qel_resolver_resolve_name(const char* name, IQelNetworkAddressList** addresses);
Result qel_resolver_host_name(const char* address, IQelBuffer** name);
Result qel_resolver_local_address(IQelNetworkAddress::EProtocol protocol,
                                  IQelNetworkAddress** address);
Result qel_resolver_service_port(const char* service, IQelNetworkAddress::EProtocol protocol,
                                 uint16_t* port);
Result qel_resolver_source_address(const IQelNetworkAddress* destination,
                                   IQelNetworkAddress** source);
Result qel_resolver_has_usable_interface(IQelNetworkAddress::EProtocol protocol, bool* usable);
Result qel_resolver_interface_count(IQelNetworkAddress::EProtocol protocol, int32_t* count);
Result qel_resolver_interface_mac(const char* address, IQelNetworkAddress::EProtocol protocol,
                                  IQelBuffer** mac);
Result qel_resolver_is_local_mac(const char* mac, bool* local);

// True when the resolver recognises the text's protocol without a lookup.
bool qel_resolver_is_numeric(const char* text);

// Whether this machine can carry `protocol`: IPv4 or IPv6 with a usable
// non-loopback interface of that family. Any failure, the reserved code 3,
// unspecified, and IPX on this platform answer false.
bool qel_transport_available(IQelNetworkAddress::EProtocol protocol);

}  // namespace orv
