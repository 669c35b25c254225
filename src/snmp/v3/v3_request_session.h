// The SNMPv3 session: carries requests with user-based security through the
// SNMPv3 library. It encodes and sends nothing itself: per request it builds
// a library session from the target and a library PDU from ours, lets the
// library run the exchange, and converts the answer back. It also finds the
// agents behind a broadcast address by an engine-ID probe and asks each of
// them. No state between calls.
#pragma once

#include <vector>

#include "result_codes.h"
#include "snmp/session/snmp_session.h"

namespace orv {

class v3RequestSession final : public IQesSession {
 public:
  v3RequestSession() = default;
  v3RequestSession(const v3RequestSession&) = delete;
  v3RequestSession& operator=(const v3RequestSession&) = delete;
  ~v3RequestSession() override = default;

  void destroy() override;
  Result send_sync(IQesPdu* pdu, IQesSnmpTarget* target) override;
  Result send_sync(IQesSnmpPacket* packet) override;
  Result send_broad_cast_sync(IQesSnmpPacket* packet, IQesSnmpPacketList** answers) override;
  Result send_broad_cast_sync(IQesPdu* pdu, IQesSnmpTarget* target,
                              IQesSnmpPacketList** answers) override;
  Result unsupported_operation() override;

  // One request; the library must be started by the caller.
  static Result send_sync_internal(IQesPdu* pdu, IQesSnmpTarget* target);
  // The agents that answer an engine-ID probe to the target's address: one
  // SNMPv3 target per sender (a copy of `target` with the sender's address
  // and engine ID) appended to `found`. Waiting out the time-out is success.
  static Result get_engine_id_broad_cast(IQesSnmpTarget* target, std::vector<SnmpTargetPtr>* found);
};

}  // namespace orv
