// What both resolver variants share: the source address towards a
// destination and the local interface questions, plus the pairing of every
// socket-library start with one stop.
#pragma once

#include <string>

#include "net/address_resolver.h"
#include "net/socket_api.h"

namespace orv::net {

// Room for a host name from getnameinfo (NI_MAXHOST).
inline constexpr size_t kHostBufferSize = 1025;

// Starts the socket library for one operation and stops it again on every
// way out, also after a failed start.
class SocketStartGuard {
 public:
  explicit SocketStartGuard(bool version22)
      : result_(version22 ? NQelSocketAPI::start_v22() : NQelSocketAPI::start_v11()) {}
  ~SocketStartGuard() { NQelSocketAPI::stop(); }
  SocketStartGuard(const SocketStartGuard&) = delete;
  SocketStartGuard& operator=(const SocketStartGuard&) = delete;

  Result result() const { return result_; }

 private:
  Result result_;
};

// Copies `text` into a new buffer for the caller.
Result new_text_buffer(const std::string& text, IQelBuffer** out);

class CQelAddressResolverBase : public IQelAddressResolver {
 public:
  Result source_address(const IQelNetworkAddress* destination, IQelNetworkAddress** source) override;
  Result has_usable_interface(EProtocol protocol, bool* usable) override;
  Result interface_count(EProtocol protocol, int32_t* count) override;
  Result interface_mac(const char* address, EProtocol protocol, IQelBuffer** mac) override;
  Result is_local_mac(const char* mac, bool* local) override;

  virtual ~CQelAddressResolverBase() = default;

 protected:
  // The variant's own socket-library version: true for 2.2, false for 1.1.
  virtual bool uses_version22() const = 0;

  // The IPv6 source address text towards `destination` (a numeric IPv6 text);
  // -5 when this variant cannot answer it.
  virtual Result ipv6_source_text(const IQelNetworkAddress& destination, std::string* source) = 0;

 private:
  // Whether a datagram socket of `protocol` can be created here.
  bool can_open_socket(EProtocol protocol);
};

}  // namespace orv::net
