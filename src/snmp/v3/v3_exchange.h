// One exchange on an open single session of the SNMPv3 library, waited for
// by our own loop: the library's synchronous call blocks without end when
// its request vanishes (a peer that echoes the request does that), so the
// wait here ends at the latest after the tries' time-outs.
#pragma once

#include <cstdint>

struct snmp_pdu;
struct snmp_session;

namespace orv::session {

// What one received message is to the exchange.
enum class V3Received { kIgnore, kKeepWaiting, kDone };

struct V3Exchange {
  // Library status and error number when the wait ended.
  int status = 0;       // STAT_SUCCESS, STAT_ERROR, STAT_TIMEOUT
  int library_error = 0;
  long request_id = 0;
  snmp_pdu* answer = nullptr;  // a clone the caller frees
  // Per received message (optional): a request's answer or report ends the
  // wait when null. A time-out always ends it.
  V3Received (*on_message)(V3Exchange* exchange, snmp_pdu* pdu) = nullptr;
  void* context = nullptr;
  bool waiting = true;
};

// Sends `request` (always taken) and waits for its end. `wait_ms` bounds the
// whole wait. The library status comes back in the exchange.
void v3_run_exchange(void* handle, snmp_pdu* request, int64_t wait_ms, V3Exchange* exchange);

}  // namespace orv::session
