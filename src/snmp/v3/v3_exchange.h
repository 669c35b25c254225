// One exchange on an open single session of the SNMPv3 library, waited for
// by our own loop: the library's synchronous call blocks without end when
// its request vanishes (a peer that echoes the request does that), so the
// wait here ends at the latest after the tries' time-outs. The library lock
// is held only inside the library's calls, never across the wait, so that
// a silent agent holds up no other exchange of the process.
#pragma once

#include <cstdint>
#include <memory>

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
  int window_reports = 0;  // reports that the request was out of time
};

// Closes a single session under the library lock, wiping the keys of its
// copy of the settings first.
struct V3SessionClose {
  void operator()(void* handle) const;
};
using V3SessionPtr = std::unique_ptr<void, V3SessionClose>;

// Opens a single session from the settings under the library lock; null
// when the library refused (its error is in the settings). A session opened
// without probing stays so.
V3SessionPtr v3_open_session(snmp_session* settings);

// Sends `request` (always taken) and waits for its end. `wait_ms` bounds the
// whole wait. The library status comes back in the exchange. The caller
// holds no library lock.
void v3_run_exchange(void* handle, snmp_pdu* request, int64_t wait_ms, V3Exchange* exchange);

}  // namespace orv::session
