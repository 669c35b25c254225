// The entry point of the request objects: picks the session that fits the
// target (community targets of SNMPv1/v2c, or SNMPv3 user-based targets)
// and forwards the call. Sessions are made on first need and kept; calls
// through one dispatcher must not overlap, since a session has one socket.
#pragma once

#include <cstdint>
#include <mutex>

#include "result_codes.h"
#include "snmp/session/snmp_session.h"

namespace orv {

class SessionDispatcher {
 public:
  SessionDispatcher() = default;
  virtual ~SessionDispatcher() = default;
  SessionDispatcher(const SessionDispatcher&) = delete;
  SessionDispatcher& operator=(const SessionDispatcher&) = delete;

  // Slot order is part of the interface; do not reorder.
  virtual void destroy();                                                         // 1
  virtual Result send_sync(IQesPdu* pdu, IQesSnmpTarget* target);                 // 2
  virtual Result send_sync(IQesSnmpPacket* packet);                               // 3
  virtual Result send_broad_cast_sync(IQesSnmpPacket* packet,
                                      IQesSnmpPacketList** answers);              // 4
  virtual Result send_broad_cast_sync(IQesPdu* pdu, IQesSnmpTarget* target,
                                      IQesSnmpPacketList** answers);              // 5

  // The session for `target`, made on first need (lent): -2 for a target
  // that fits none, -3 when it cannot be made.
  Result select_session(const IQesSnmpTarget* target, IQesSession** session);

 private:
  std::mutex mutex_;
  SessionPtr request_session_;
  SessionPtr v3_session_;
};

struct SessionDispatcherDestroy {
  void operator()(SessionDispatcher* dispatcher) const {
    if (dispatcher) dispatcher->destroy();
  }
};
using SessionDispatcherPtr = std::unique_ptr<SessionDispatcher, SessionDispatcherDestroy>;

// A new dispatcher (caller destroys it). `status` (optional): 0 or -3.
SessionDispatcher* qes_create_session_dispatcher(Result* status = nullptr);

namespace session {

// Which session a target needs, from its message model (target kind) and
// SNMP version.
enum class SessionKind { kNone, kCommunity, kUserBased };
SessionKind session_kind_for(int32_t message_model, int32_t version);

}  // namespace session

}  // namespace orv
