#include "snmp/session/session_transport.h"

namespace orv {

Result SessionTransport::recreate_socket(int32_t protocol, uint16_t local_port, bool ipv6_only) {
  socket_.reset();
  IDataGramSocket* fresh = nullptr;
  Result rc = create_datagram_socket(protocol, local_port, &fresh, ipv6_only);
  if (rc != kOk) return rc;
  socket_.reset(fresh);
  return kOk;
}

}  // namespace orv
