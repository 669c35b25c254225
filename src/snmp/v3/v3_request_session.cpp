#include "snmp/v3/v3_request_session.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
#include <arpa/inet.h>
#include <sys/socket.h>

#include <cstring>
#include <new>
#include <string>

#include "snmp/message/codec_log.h"
#include "snmp/session/request_id.h"
#include "snmp/session/taken_packet.h"
#include "snmp/v3/v3_engine.h"
#include "snmp/v3/v3_error_map.h"
#include "snmp/v3/v3_exchange.h"
#include "snmp/v3/v3_library.h"
#include "snmp/v3/v3_pdu_convert.h"
#include "snmp/v3/v3_session_settings.h"
#include "snmp/v3/v3_user_lease.h"

namespace orv {
namespace {

constexpr const char* kSendName = "v3RequestSession::send_sync(IQesSnmpPacket*)";
constexpr const char* kBroadcastPacketName =
    "v3RequestSession::send_broad_cast_sync(IQesSnmpPacket*, IQesSnmpPacketList**)";
constexpr const char* kBroadcastName =
    "v3RequestSession::send_broad_cast_sync(IQesPdu*, IQesSnmpTarget*, IQesSnmpPacketList**)";
constexpr const char* kInternalName = "v3RequestSession::send_sync_internal(IQesPdu*, IQesSnmpTarget*)";
constexpr const char* kProbeName = "v3RequestSession::get_engine_id_broad_cast";
constexpr const char* kCallbackName = "broadcast_callback";

// "[%s] enter." now and "[%s] exit." however the scope ends.
class Traced {
 public:
  explicit Traced(const char* name) : name_(name) { snmp_log().log(log::kTrace, "[%s] enter.", name_); }
  ~Traced() { snmp_log().log(log::kTrace, "[%s] exit.", name_); }
  Traced(const Traced&) = delete;
  Traced& operator=(const Traced&) = delete;

 private:
  const char* name_;
};

struct LibraryPduFree {
  void operator()(netsnmp_pdu* pdu) const { snmp_free_pdu(pdu); }
};
using LibraryPduPtr = std::unique_ptr<netsnmp_pdu, LibraryPduFree>;


// The library's error of a session that did not open, logged and mapped.
Result open_failed(const netsnmp_session& settings) {
  int error = settings.s_snmp_errno != 0 ? settings.s_snmp_errno : snmp_errno;
  snmp_log().log(log::kError, "v3 session open: library error=%d (%s).", error,
                 snmp_api_errstring(error));
  return session::v3_open_error_result(error);
}

// The library's error of an exchange that failed, logged and mapped.
Result exchange_failed(const session::V3Exchange& exchange) {
  snmp_log().log(log::kDebug, "v3 exchange: status=%d library error=%d (%s).", exchange.status,
                 exchange.library_error, snmp_api_errstring(exchange.library_error));
  return session::v3_library_error_result(exchange.library_error);
}

// Our bound on one exchange: every try's time-out and a second for the
// library's own engine-ID and time-window round trips.
int64_t exchange_bound_ms(const IQesSnmpTarget* target) {
  const int64_t timeout = target->timeout() > 0 ? target->timeout() : 1000;
  const int64_t tries = target->retries() > 0 ? int64_t{target->retries()} + 1 : 1;
  return timeout * tries + 1000;
}

bool skippable(Result rc) {
  return rc == kErrNotAwaited || rc == kErrSecurity || rc == kErrReceive || rc == kErrTimeout;
}

// ---------------------------------------------------------------- discovery

struct Discovery {
  IQesSnmpTarget* request_target;
  std::vector<SnmpTargetPtr>* found;
  Result error;
};

// The sender's address text of a received message, "" when unknown.
std::string sender_text(const netsnmp_pdu* pdu) {
  const auto length = static_cast<size_t>(pdu->transport_data_length);
  if (!pdu->transport_data || length < sizeof(sockaddr)) return {};
  const auto* address = static_cast<const sockaddr*>(pdu->transport_data);
  char text[INET6_ADDRSTRLEN] = {};
  if (address->sa_family == AF_INET) {
    const auto* v4 = reinterpret_cast<const sockaddr_in*>(address);
    if (!inet_ntop(AF_INET, &v4->sin_addr, text, sizeof(text))) return {};
  } else if (address->sa_family == AF_INET6 &&
             length >= sizeof(sockaddr_in6)) {
    const auto* v6 = reinterpret_cast<const sockaddr_in6*>(address);
    if (!inet_ntop(AF_INET6, &v6->sin6_addr, text, sizeof(text))) return {};
    // A link-local sender is reached only through its interface: its scope
    // in the number form SNMPv1 discovery gives ("fe80::1%2").
    if (v6->sin6_scope_id != 0) return std::string(text) + "%" + std::to_string(v6->sin6_scope_id);
  }
  return text;
}

// One new target per sender: a copy of the request's target aimed at the
// sender, carrying the engine ID it reported.
Result add_sender(Discovery* discovery, const netsnmp_pdu* pdu) {
  std::string text = sender_text(pdu);
  if (text.empty()) return kOk;
  for (const SnmpTargetPtr& known : *discovery->found) {
    if (text == known->address()->text()) return kOk;
  }
  const IQelNetworkAddress* destination = discovery->request_target->address();
  Result rc = kOk;
  NetworkAddressPtr address(qel_create_network_address_with_protocol(
      text.c_str(), destination->protocol(), destination->port(), &rc));
  if (!address) return rc;
  SnmpTargetPtr target(discovery->request_target->clone(&rc));
  if (!target) return rc;
  target->set_address(address.release());
  rc = as_snmpv3_target(target.get())
           ->set_context_engine_id(pdu->securityEngineID,
                                   static_cast<uint32_t>(pdu->securityEngineIDLen));
  if (rc != kOk) return rc;
  discovery->found->push_back(std::move(target));
  return kOk;
}

// Every message that answers the probe (a report, as a rule) names one
// agent; the wait goes on until the time-out.
session::V3Received broadcast_callback(session::V3Exchange* exchange, netsnmp_pdu* pdu) {
  Traced traced(kCallbackName);
  auto* discovery = static_cast<Discovery*>(exchange->context);
  Result rc = add_sender(discovery, pdu);
  if (rc != kOk && discovery->error == kOk) discovery->error = rc;
  return session::V3Received::kKeepWaiting;
}

}  // namespace

void v3RequestSession::destroy() { delete this; }

Result v3RequestSession::unsupported_operation() { return kErrNotSupported; }

Result v3RequestSession::send_sync(IQesPdu* pdu, IQesSnmpTarget* target) {
  Traced traced(kSendName);
  session::V3LibraryUse library;
  return send_sync_internal(pdu, target);
}

Result v3RequestSession::send_sync(IQesSnmpPacket* packet) {
  Traced traced(kSendName);
  if (!packet) return kErrInvalidArg;
  session::TakenPacket parts(packet);
  session::V3LibraryUse library;
  return send_sync_internal(parts.pdu(), parts.target());
}

Result v3RequestSession::send_sync_internal(IQesPdu* pdu, IQesSnmpTarget* target) {
  Traced traced(kInternalName);
  if (!pdu || !target) return kErrInvalidArg;
  pdu->set_request_id(static_cast<int32_t>(session::next_request_id()));

  netsnmp_session settings;
  snmp_sess_init(&settings);
  session::WipedSettings wiped(&settings);
  session::V3SessionTexts texts;
  Result rc = session::v3_fill_session(target, &texts, &settings);
  if (rc != kOk) return rc;
  netsnmp_pdu* converted = nullptr;
  if ((rc = session::v3_to_library_pdu(pdu, &converted)) != kOk) return rc;
  LibraryPduPtr request(converted);
  // The engine is found by our own probe, outside the library lock: the
  // library's probe at open would hold it for the whole wait.
  settings.flags |= SNMP_FLAGS_DONT_PROBE;
  if (texts.engine_id.empty()) {
    const int32_t tries = target->retries() > 0 ? target->retries() + 1 : 1;
    const int64_t try_ms = target->timeout() > 0 ? target->timeout() : 1000;
    rc = session::v3_probe_engine_id(settings, tries, try_ms, &texts.engine_id);
    if (rc != kOk) return rc;
    settings.securityEngineID = texts.engine_id.data();
    settings.securityEngineIDLen = texts.engine_id.size();
  }
  if (!settings.contextEngineID) {
    settings.contextEngineID = texts.engine_id.data();
    settings.contextEngineIDLen = texts.engine_id.size();
  }

  session::V3Exchange exchange;
  auto lock = session::v3_library_lock();
  session::V3UserLease lease(lock, settings);
  lock.unlock();
  session::V3SessionPtr handle = session::v3_open_session(&settings);
  if (!handle) return open_failed(settings);
  if (!session::v3_install_user(handle.get())) return kErrSecurity;
  session::v3_note_engine(texts.engine_id);
  session::v3_run_exchange(handle.get(), request.release(), exchange_bound_ms(target), &exchange);
  LibraryPduPtr answer(exchange.answer);
  rc = exchange.status == STAT_SUCCESS ? kOk : exchange_failed(exchange);
  // The agent may have restarted with a younger clock than the one kept
  // for it: the next exchange learns its time anew.
  if (rc == kErrTimeout || rc == kErrSecurity) session::v3_forget_engine(texts.engine_id);
  if (rc != kOk) {
    if (answer) (void)session::v3_from_library_pdu(answer.get(), pdu);
    return rc;
  }
  if (!answer) return kErrReceive;
  return session::v3_from_library_pdu(answer.get(), pdu);
}

Result v3RequestSession::get_engine_id_broad_cast(IQesSnmpTarget* target,
                                                  std::vector<SnmpTargetPtr>* found) {
  Traced traced(kProbeName);
  if (!target || !found || !target->address()) return kErrInvalidArg;
  netsnmp_session settings;
  snmp_sess_init(&settings);
  session::WipedSettings wiped(&settings);
  session::V3SessionTexts texts;
  Result rc = session::v3_fill_session(target, &texts, &settings);
  if (rc != kOk) return rc;
  Discovery discovery{target, found, kOk};
  session::V3Exchange exchange;
  exchange.on_message = broadcast_callback;
  exchange.context = &discovery;
  const int32_t tries = target->retries() > 0 ? target->retries() + 1 : 1;
  rc = session::v3_probe(settings, tries, exchange_bound_ms(target), true, &exchange);
  if (discovery.error != kOk) return discovery.error;
  return rc;
}

Result v3RequestSession::send_broad_cast_sync(IQesSnmpPacket* packet, IQesSnmpPacketList** answers) {
  Traced traced(kBroadcastPacketName);
  if (!packet) return kErrInvalidArg;
  session::TakenPacket parts(packet);
  return send_broad_cast_sync(parts.pdu(), parts.target(), answers);
}

Result v3RequestSession::send_broad_cast_sync(IQesPdu* pdu, IQesSnmpTarget* target,
                                              IQesSnmpPacketList** answers) {
  Traced traced(kBroadcastName);
  if (!pdu || !target || !answers) return kErrInvalidArg;
  session::V3LibraryUse library;
  std::vector<SnmpTargetPtr> agents;
  Result rc = get_engine_id_broad_cast(target, &agents);
  if (rc != kOk) return rc;
  SnmpPacketListPtr list(qes_create_snmp_packet_list(&rc));
  if (!list) return rc;
  for (SnmpTargetPtr& agent : agents) {
    PduPtr request(pdu->clone(&rc));
    if (!request) return rc;
    rc = send_sync_internal(request.get(), agent.get());
    if (skippable(rc)) continue;
    if (rc != kOk) return rc;
    SnmpPacketPtr packet(qes_create_snmp_packet(&rc));
    if (!packet) return rc;
    packet->set_pdu(request.release());
    packet->set_target(agent.release());
    if ((rc = list->add_back(packet.get())) != kOk) return rc;
    (void)packet.release();
  }
  *answers = list.release();
  return kOk;
}

}  // namespace orv
