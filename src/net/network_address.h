// A network address: an address text, a protocol code and a 16-bit port.
// Every peer, broadcast destination, datagram sender and the local host is
// named by one. Texts are checked, normalised and compared through the
// process-wide address resolver (net/address_resolver.h).
#pragma once

#include <cstdint>

#include "result_codes.h"
#include "snmp/smi/qel_buffer.h"

namespace orv {

class IQelNetworkAddress {
 public:
  // Protocol codes shared by addresses, sockets and targets.
  enum EProtocol : int32_t {
    kProtocolUnspecified = 0,  // not known yet
    kProtocolIpv4 = 1,         // UDP over IPv4
    kProtocolIpx = 2,          // IPX
    kProtocolNone = 3,         // reserved: no address family and no socket
    kProtocolIpv6 = 4,         // UDP over IPv6
  };

  // Slot order is part of the interface; do not reorder.
  virtual void release() = 0;                                   // 1
  // Detects the protocol of `text`; refuses (-2) a text of another protocol
  // than an already known one. The port is kept.
  virtual Result set_text(const char* text) = 0;                // 2
  // Stores `text` unchecked; protocol 0 and port 0 keep the current values.
  virtual Result init(const char* text, EProtocol protocol, uint16_t port) = 0;  // 3
  // The owned text buffer itself (lent).
  virtual IQelBuffer* text_buffer() = 0;                        // 4
  // A new copy of the text (required; caller releases it), protocol and
  // port (both optional).
  virtual Result get(IQelBuffer** text, EProtocol* protocol, uint16_t* port) const = 0;  // 5
  virtual Result set_protocol(EProtocol protocol) = 0;          // 6
  virtual Result set_port(uint16_t port) = 0;                   // 7
  virtual EProtocol protocol() const = 0;                       // 8
  virtual uint16_t port() const = 0;                            // 9
  // Same normalised text, same protocol, and `other`'s port 0 or equal.
  virtual bool equals(const IQelNetworkAddress* other) const = 0;  // 10
  virtual Result clone(IQelNetworkAddress** copy) const = 0;    // 11
  // The text is recognised without a name lookup.
  virtual bool is_numeric() const = 0;                          // 12
  // Replaces the text with the resolver's normalised text.
  virtual Result normalise() = 0;                               // 13
  // NUL-terminated text, or nullptr while empty.
  virtual const char* text() const = 0;                         // 14

 protected:
  virtual ~IQelNetworkAddress() = default;
};

using NetworkAddressPtr = QelPtr<IQelNetworkAddress>;

// An empty address (protocol 0, port 0). `result` (optional): 0 or -3.
IQelNetworkAddress* qel_create_network_address(Result* result = nullptr);

// An address from `text` whose protocol is detected; a detection failure is
// stored in `result` and no object is made.
IQelNetworkAddress* qel_create_network_address_from_text(const char* text, uint16_t port,
                                                         Result* result = nullptr);

// An address from `text`, `protocol` and `port`, stored without detection.
IQelNetworkAddress* qel_create_network_address_with_protocol(const char* text,
                                                             IQelNetworkAddress::EProtocol protocol,
                                                             uint16_t port,
                                                             Result* result = nullptr);

}  // namespace orv
