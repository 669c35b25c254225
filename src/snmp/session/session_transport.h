// The transport part of a session: at most one datagram socket, replaced
// at the start of every request.
#pragma once

#include <cstdint>

#include "snmp/transport/datagram_socket.h"

namespace orv {

class SessionTransport {
 public:
  // Destroys the socket held, then makes one for `protocol` bound to
  // `local_port` (0: the system chooses), IPv6 only when asked. The
  // socket's error as it is.
  Result recreate_socket(int32_t protocol, uint16_t local_port, bool ipv6_only = false);
  // Lent; nullptr before the first request or after a failed one.
  IDataGramSocket* socket() const { return socket_.get(); }

 private:
  DataGramSocketPtr socket_;
};

}  // namespace orv
