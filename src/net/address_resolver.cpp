// The process-wide resolver and the free functions that reach it.
#include "net/address_resolver.h"

#include <atomic>
#include <mutex>
#include <new>

#include "net/address_resolver_ex.h"
#include "net/address_resolver_ipv4.h"
#include "net/socket_api.h"

namespace orv {

namespace {

std::atomic<IQelAddressResolver*> g_resolver{nullptr};
std::mutex g_resolver_lock;

}  // namespace

IQelAddressResolver* qel_address_resolver(Result* result) {
  IQelAddressResolver* resolver = g_resolver.load(std::memory_order_acquire);
  if (!resolver) {
    std::lock_guard<std::mutex> hold(g_resolver_lock);
    resolver = g_resolver.load(std::memory_order_relaxed);
    if (!resolver) {
      // The variant is chosen once, by what the socket module offers; it
      // lives until the process ends.
      if (net::NQelSocketAPI::extended_functions_available()) {
        resolver = new (std::nothrow) net::CQelAddressResolverEx();
      } else {
        resolver = new (std::nothrow) net::CQelAddressResolver();
      }
      g_resolver.store(resolver, std::memory_order_release);
    }
  }
  if (result) *result = resolver ? kOk : kErrNoMemory;
  return resolver;
}

namespace {

// Runs `call` on the process-wide resolver, or gives -3 when there is none.
template <typename Call>
Result with_resolver(Call call) {
  IQelAddressResolver* resolver = qel_address_resolver();
  return resolver ? call(*resolver) : kErrNoMemory;
}

}  // namespace

Result qel_resolver_normalise_text(const char* text, IQelBuffer** normalised) {
  return with_resolver([&](IQelAddressResolver& r) { return r.normalise_text(text, normalised); });
}

Result qel_resolver_detect_protocol(const char* text, IQelNetworkAddress::EProtocol* protocol) {
  return with_resolver([&](IQelAddressResolver& r) { return r.detect_protocol(text, protocol); });
}

Result qel_resolver_resolve_name(const char* name, IQelNetworkAddressList** addresses) {
  return with_resolver([&](IQelAddressResolver& r) { return r.resolve_name(name, addresses); });
}

Result qel_resolver_host_name(const char* address, IQelBuffer** name) {
  return with_resolver([&](IQelAddressResolver& r) { return r.host_name(address, name); });
}

Result qel_resolver_local_address(IQelNetworkAddress::EProtocol protocol, IQelNetworkAddress** address) {
  return with_resolver([&](IQelAddressResolver& r) { return r.local_address(protocol, address); });
}

Result qel_resolver_service_port(const char* service, IQelNetworkAddress::EProtocol protocol,
                                 uint16_t* port) {
  return with_resolver([&](IQelAddressResolver& r) { return r.service_port(service, protocol, port); });
}

Result qel_resolver_source_address(const IQelNetworkAddress* destination, IQelNetworkAddress** source) {
  return with_resolver([&](IQelAddressResolver& r) { return r.source_address(destination, source); });
}

Result qel_resolver_has_usable_interface(IQelNetworkAddress::EProtocol protocol, bool* usable) {
  return with_resolver([&](IQelAddressResolver& r) { return r.has_usable_interface(protocol, usable); });
}

Result qel_resolver_interface_count(IQelNetworkAddress::EProtocol protocol, int32_t* count) {
  return with_resolver([&](IQelAddressResolver& r) { return r.interface_count(protocol, count); });
}

Result qel_resolver_interface_mac(const char* address, IQelNetworkAddress::EProtocol protocol,
                                  IQelBuffer** mac) {
  return with_resolver([&](IQelAddressResolver& r) { return r.interface_mac(address, protocol, mac); });
}

Result qel_resolver_is_local_mac(const char* mac, bool* local) {
  return with_resolver([&](IQelAddressResolver& r) { return r.is_local_mac(mac, local); });
}

bool qel_resolver_is_numeric(const char* text) {
  IQelNetworkAddress::EProtocol protocol = IQelNetworkAddress::kProtocolUnspecified;
  return text && qel_resolver_detect_protocol(text, &protocol) == kOk &&
         protocol != IQelNetworkAddress::kProtocolUnspecified;
}

bool qel_transport_available(IQelNetworkAddress::EProtocol protocol) {
  switch (protocol) {
    case IQelNetworkAddress::kProtocolIpv4:
    case IQelNetworkAddress::kProtocolIpx:
    case IQelNetworkAddress::kProtocolIpv6:
      break;
    default:
      return false;
  }
  bool usable = false;
  return qel_resolver_has_usable_interface(protocol, &usable) == kOk && usable;
}

}  // namespace orv
