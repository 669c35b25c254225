// What every SNMP session offers the dispatcher: one synchronous request, or
// one request to a broadcast or multicast destination that collects an
// answer per agent.
#pragma once

#include "result_codes.h"
#include "snmp/message/owning_list.h"
#include "snmp/message/pdu.h"
#include "snmp/message/snmp_packet.h"
#include "snmp/message/snmp_target.h"

namespace orv {

class IQesSession {
 public:
  // Slot order is part of the interface; do not reorder.
  virtual void destroy() = 0;                                                      // 1
  // The answer comes back into `pdu`; on success the target's destination
  // becomes the address that answered.
  virtual Result send_sync(IQesPdu* pdu, IQesSnmpTarget* target) = 0;              // 2
  // The same with the PDU and target of `packet` (-2 for none).
  virtual Result send_sync(IQesSnmpPacket* packet) = 0;                            // 3
  virtual Result send_broad_cast_sync(IQesSnmpPacket* packet,
                                      IQesSnmpPacketList** answers) = 0;           // 4
  // 0 and a new list (the caller's; possibly empty) of one packet per
  // answering address, or the error and nothing stored.
  virtual Result send_broad_cast_sync(IQesPdu* pdu, IQesSnmpTarget* target,
                                      IQesSnmpPacketList** answers) = 0;           // 5
  // A slot no session of this framework fills: -5.
  virtual Result unsupported_operation() = 0;                                      // 6

 protected:
  virtual ~IQesSession() = default;
};

struct SessionDestroy {
  void operator()(IQesSession* session) const {
    if (session) session->destroy();
  }
};
using SessionPtr = std::unique_ptr<IQesSession, SessionDestroy>;

namespace session {
// The target version that asks for the user-based (SNMPv3) session.
inline constexpr int32_t kSnmpVersion3 = 2;
}  // namespace session

}  // namespace orv
