// One session dispatcher for the exchanges of one request object operation
// (a single GET or SET, every GETNEXT of a walk, or a broadcast).
#pragma once

#include <cstdint>

#include "result_codes.h"
#include "snmp/message/owning_list.h"
#include "snmp/message/pdu.h"
#include "snmp/message/snmp_target.h"
#include "snmp/dispatch/session_dispatcher.h"

namespace orv::facade {

class CQelExchange {
 public:
  // Makes the dispatcher: 0 or -3.
  Result open();
  // Sends `pdu` as `pdu_type` to `target` and waits; on success the PDU
  // holds the response. The request goes out with its error fields 0.
  Result send(IQesPdu* pdu, IQesSnmpTarget* target, int32_t pdu_type);
  // Sends `pdu` as a GetBulkRequest without non-repeaters: up to
  // `max_repetitions` successors of each binding come back, in rows.
  Result send_bulk(IQesPdu* pdu, IQesSnmpTarget* target, int32_t max_repetitions);
  // Sends `pdu` as a GetRequest to the broadcast or multicast destination of
  // `target`; on success `*answers` receives one packet per answering agent
  // and is the caller's. On failure `*answers` is not written.
  Result broadcast(IQesPdu* pdu, IQesSnmpTarget* target, IQesSnmpPacketList** answers);

 private:
  SessionDispatcherPtr dispatcher_;
};

}  // namespace orv::facade
