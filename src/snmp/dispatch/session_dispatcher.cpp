#include "snmp/dispatch/session_dispatcher.h"

#include <new>

#include "snmp/message/codec_log.h"
#include "snmp/session/request_session.h"
#include "snmp/v3/v3_request_session.h"

namespace orv {

namespace session {

SessionKind session_kind_for(int32_t message_model, int32_t version) {
  if (message_model == kTargetCommunity && (version == kSnmpV1 || version == kSnmpV2c)) {
    return SessionKind::kCommunity;
  }
  if (message_model == kTargetSnmpV3 && version == kSnmpVersion3) return SessionKind::kUserBased;
  return SessionKind::kNone;
}

}  // namespace session

namespace {

constexpr const char* kBroadcastName = "SessionDispatcher::send_broad_cast_sync";

}  // namespace

SessionDispatcher* qes_create_session_dispatcher(Result* status) {
  auto* dispatcher = new (std::nothrow) SessionDispatcher;
  if (status) *status = dispatcher ? kOk : kErrNoMemory;
  return dispatcher;
}

void SessionDispatcher::destroy() { delete this; }

Result SessionDispatcher::select_session(const IQesSnmpTarget* target, IQesSession** session) {
  if (!target || !session) return kErrInvalidArg;
  *session = nullptr;
  switch (session::session_kind_for(target->kind(), target->version())) {
    case session::SessionKind::kCommunity: {
      std::lock_guard<std::mutex> lock(mutex_);
      if (!request_session_) request_session_.reset(new (std::nothrow) RequestSession);
      if (!request_session_) return kErrNoMemory;
      *session = request_session_.get();
      return kOk;
    }
    case session::SessionKind::kUserBased: {
      std::lock_guard<std::mutex> lock(mutex_);
      if (!v3_session_) v3_session_.reset(new (std::nothrow) v3RequestSession);
      if (!v3_session_) return kErrNoMemory;
      *session = v3_session_.get();
      return kOk;
    }
    case session::SessionKind::kNone:
      break;
  }
  return kErrInvalidArg;
}

Result SessionDispatcher::send_sync(IQesPdu* pdu, IQesSnmpTarget* target) {
  if (!pdu || !target) return kErrInvalidArg;
  IQesSession* session = nullptr;
  Result rc = select_session(target, &session);
  return rc != kOk ? rc : session->send_sync(pdu, target);
}

Result SessionDispatcher::send_sync(IQesSnmpPacket* packet) {
  if (!packet) return kErrInvalidArg;
  IQesSession* session = nullptr;
  Result rc = select_session(packet->target(), &session);
  return rc != kOk ? rc : session->send_sync(packet);
}

Result SessionDispatcher::send_broad_cast_sync(IQesSnmpPacket* packet,
                                               IQesSnmpPacketList** answers) {
  if (!packet || !answers) return kErrInvalidArg;
  IQesSession* session = nullptr;
  Result rc = select_session(packet->target(), &session);
  return rc != kOk ? rc : session->send_broad_cast_sync(packet, answers);
}

Result SessionDispatcher::send_broad_cast_sync(IQesPdu* pdu, IQesSnmpTarget* target,
                                               IQesSnmpPacketList** answers) {
  snmp_log().log(log::kTrace, "[%s] enter.", kBroadcastName);
  Result rc = kErrInvalidArg;
  IQesSession* session = nullptr;
  if (pdu && target && answers) {
    rc = select_session(target, &session);
    if (rc == kOk) rc = session->send_broad_cast_sync(pdu, target, answers);
  }
  snmp_log().log(log::kTrace, "[%s] exit.", kBroadcastName);
  return rc;
}

}  // namespace orv
