#include "snmp/v3/v3_engine.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstdlib>
#include <deque>

#include "snmp/session/request_id.h"
#include "snmp/v3/v3_error_map.h"
#include "snmp/v3/v3_library.h"

namespace orv::session {
namespace {

// Engines whose time the library may hold; guarded by the library lock.
constexpr size_t kNotedEngineLimit = 256;
std::deque<std::vector<uint8_t>>& noted_engines() {
  static std::deque<std::vector<uint8_t>> engines;
  return engines;
}

void free_engine_time(std::vector<uint8_t> engine_id) {
  if (!engine_id.empty()) free_enginetime(engine_id.data(), engine_id.size());
}

// An engine-ID probe: a GET without bindings from no user, unauthenticated.
netsnmp_pdu* probe_pdu() {
  netsnmp_pdu* pdu = snmp_pdu_create(SNMP_MSG_GET);
  if (!pdu) return nullptr;
  pdu->version = SNMP_VERSION_3;
  pdu->securityName = static_cast<char*>(calloc(1, 1));
  if (!pdu->securityName) {
    snmp_free_pdu(pdu);
    return nullptr;
  }
  pdu->securityNameLen = 0;
  pdu->securityLevel = SNMP_SEC_LEVEL_NOAUTH;
  pdu->securityModel = SNMP_SEC_MODEL_USM;
  pdu->reqid = static_cast<long>(next_request_id());
  return pdu;
}

// The first message naming an engine ends the probe of one agent.
V3Received take_engine_id(V3Exchange* exchange, netsnmp_pdu* pdu) {
  if (!pdu->securityEngineID || pdu->securityEngineIDLen == 0) return V3Received::kKeepWaiting;
  auto* engine_id = static_cast<std::vector<uint8_t>*>(exchange->context);
  engine_id->assign(pdu->securityEngineID, pdu->securityEngineID + pdu->securityEngineIDLen);
  return V3Received::kDone;
}

Result open_failed(const netsnmp_session& settings) {
  const int error = settings.s_snmp_errno != 0 ? settings.s_snmp_errno : snmp_errno;
  return v3_open_error_result(error);
}

}  // namespace

Result v3_probe(const snmp_session& base, int32_t tries, int64_t wait_ms, bool broadcast,
                V3Exchange* exchange) {
  // Probe mode: nobody, unauthenticated, no engine ID, no probe of the
  // library's own. The tries are ours: the library cannot resend a probe
  // that found no engine, and each try may reach agents the one before
  // missed.
  netsnmp_session settings = base;
  static char no_user[] = "";
  settings.securityName = no_user;
  settings.securityNameLen = 0;
  settings.securityLevel = SNMP_SEC_LEVEL_NOAUTH;
  settings.securityAuthKeyLen = 0;
  settings.securityPrivKeyLen = 0;
  explicit_bzero(settings.securityAuthKey, sizeof(settings.securityAuthKey));
  explicit_bzero(settings.securityPrivKey, sizeof(settings.securityPrivKey));
  settings.securityEngineID = nullptr;
  settings.securityEngineIDLen = 0;
  settings.contextEngineID = nullptr;
  settings.contextEngineIDLen = 0;
  settings.flags |= SNMP_FLAGS_DONT_PROBE;
  settings.retries = 0;
  for (int32_t attempt = 0; attempt < std::max(tries, int32_t{1}); ++attempt) {
    // A session per try: one whose probe timed out sends no further probe.
    V3SessionPtr handle = v3_open_session(&settings);
    if (!handle) return open_failed(settings);
    if (broadcast) {
      auto lock = v3_library_lock();
      if (netsnmp_transport* transport = snmp_sess_transport(handle.get())) {
        int on = 1;
        (void)setsockopt(transport->sock, SOL_SOCKET, SO_BROADCAST, &on, sizeof(on));
      }
    }
    netsnmp_pdu* probe = probe_pdu();
    if (!probe) return kErrNoMemory;
    exchange->status = STAT_SUCCESS;
    v3_run_exchange(handle.get(), probe, wait_ms, exchange);
    if (exchange->status == STAT_SUCCESS) break;
    if (exchange->status != STAT_TIMEOUT) return v3_library_error_result(exchange->library_error);
  }
  return kOk;
}

Result v3_probe_engine_id(const snmp_session& settings, int32_t tries, int64_t wait_ms,
                          std::vector<uint8_t>* engine_id) {
  engine_id->clear();
  V3Exchange exchange;
  exchange.on_message = take_engine_id;
  exchange.context = engine_id;
  Result rc = v3_probe(settings, tries, wait_ms, false, &exchange);
  if (rc != kOk) return rc;
  return engine_id->empty() ? kErrTimeout : kOk;
}

void v3_note_engine(const std::vector<uint8_t>& engine_id) {
  if (engine_id.empty()) return;
  auto lock = v3_library_lock();
  auto& engines = noted_engines();
  if (std::find(engines.begin(), engines.end(), engine_id) != engines.end()) return;
  engines.push_back(engine_id);
  if (engines.size() <= kNotedEngineLimit) return;
  free_engine_time(std::move(engines.front()));
  engines.pop_front();
}

void v3_forget_engine(const std::vector<uint8_t>& engine_id) {
  if (engine_id.empty()) return;
  auto lock = v3_library_lock();
  auto& engines = noted_engines();
  engines.erase(std::remove(engines.begin(), engines.end(), engine_id), engines.end());
  free_engine_time(engine_id);
}

}  // namespace orv::session
