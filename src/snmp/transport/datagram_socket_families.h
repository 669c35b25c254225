// The three socket families: each starts the socket library in its version,
// makes its kind of handle and converts addresses to and from its socket
// address form.
#pragma once

#include "snmp/transport/datagram_socket.h"

namespace orv {

// The any-address text of a protocol's family, or nullptr (IPv4
// "0.0.0.0", IPX "00000000:000000000000", IPv6 eight groups of "0000").
const char* any_address_text(int32_t protocol);

class DataGramSocketV4 final : public DataGramSocket {
 public:
  explicit DataGramSocketV4(NetworkAddressPtr local) : DataGramSocket(std::move(local)) {}

  Result startup() override;
  Result set_any_address() override;
  Result from_sockaddr(const sockaddr* address, int length, IQelNetworkAddress* out) override;
  Result to_sockaddr(const IQelNetworkAddress* address, sockaddr_storage* out,
                     int* length) override;
  Result create_handle() override;
  bool same_host(const sockaddr* address, int length, const IQelNetworkAddress* object,
                 uint16_t* port) const override;
};

class DataGramSocketV6 final : public DataGramSocket {
 public:
  explicit DataGramSocketV6(NetworkAddressPtr local) : DataGramSocket(std::move(local)) {}

  Result startup() override;
  Result set_any_address() override;
  Result from_sockaddr(const sockaddr* address, int length, IQelNetworkAddress* out) override;
  Result to_sockaddr(const IQelNetworkAddress* address, sockaddr_storage* out,
                     int* length) override;
  Result create_handle() override;
  bool same_host(const sockaddr* address, int length, const IQelNetworkAddress* object,
                 uint16_t* port) const override;
};

// Linux has no IPX sockets: the handle cannot be made and the open fails
// with -201; the address conversions work all the same.
class DataGramSocketIpx final : public DataGramSocket {
 public:
  explicit DataGramSocketIpx(NetworkAddressPtr local) : DataGramSocket(std::move(local)) {}

  Result startup() override;
  Result set_any_address() override;
  Result from_sockaddr(const sockaddr* address, int length, IQelNetworkAddress* out) override;
  Result to_sockaddr(const IQelNetworkAddress* address, sockaddr_storage* out,
                     int* length) override;
  Result create_handle() override;
  bool same_host(const sockaddr* address, int length, const IQelNetworkAddress* object,
                 uint16_t* port) const override;
};

// Stores the family's any-address text in `local` (protocol and port kept):
// -7 when the protocol has none.
Result store_any_address(IQelNetworkAddress* local);

}  // namespace orv
