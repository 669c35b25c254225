#include "snmp/v3/v3_session_settings.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <cstring>
#include <map>
#include <mutex>
#include <utility>

#include "snmp/session/snmp_session.h"
#include "snmp/v3/v3_error_map.h"

namespace orv::session {
namespace {

struct AuthProtocol {
  const oid* id;
  size_t length;
};

bool auth_protocol(int32_t code, AuthProtocol* out) {
  if (code == kUsmAuthMd5) *out = {usmHMACMD5AuthProtocol, USM_AUTH_PROTO_MD5_LEN};
  else if (code == kUsmAuthSha) *out = {usmHMACSHA1AuthProtocol, USM_AUTH_PROTO_SHA_LEN};
  else return false;
  return true;
}

bool priv_protocol(int32_t code, const oid** id, size_t* length) {
  if (code == kUsmPrivDes) {
    *id = usmDESPrivProtocol;
    *length = USM_PRIV_PROTO_DES_LEN;
  } else if (code == kUsmPrivAes) {
    *id = usmAESPrivProtocol;
    *length = USM_PRIV_PROTO_AES_LEN;
  } else {
    return false;
  }
  return true;
}

// Keys derived from pass phrases, kept per (pass phrase, protocol): the
// derivation hashes a megabyte and would otherwise cost every request.
// The cache is looked up by a digest of the pass phrase, so that the
// phrase itself is kept nowhere.
using KeyCacheKey = std::pair<std::string, int32_t>;
std::mutex g_key_mutex;
std::map<KeyCacheKey, std::vector<uint8_t>> g_keys;  // guarded by g_key_mutex
constexpr size_t kKeyCacheLimit = 64;

// The caller holds g_key_mutex.
void clear_keys() {
  for (auto& entry : g_keys) explicit_bzero(entry.second.data(), entry.second.size());
  g_keys.clear();
}

// Derives the key of `pass_phrase` into `key` (room `capacity`); an empty
// pass phrase gives length 0.
Result derive_key(const char* pass_phrase, int32_t protocol_code, const AuthProtocol& protocol,
                  u_char* key, size_t capacity, size_t* length) {
  *length = 0;
  if (!pass_phrase || !*pass_phrase) return kOk;
  u_char digest[SNMP_MAXBUF_SMALL];
  size_t digest_length = sizeof(digest);
  if (sc_hash(usmHMACSHA1AuthProtocol, USM_AUTH_PROTO_SHA_LEN,
              reinterpret_cast<const u_char*>(pass_phrase), std::strlen(pass_phrase), digest,
              &digest_length) != SNMPERR_SUCCESS) {
    return kErrSnmpLibrary;
  }
  KeyCacheKey cache_key(std::string(reinterpret_cast<const char*>(digest), digest_length),
                        protocol_code);
  {
    std::lock_guard<std::mutex> lock(g_key_mutex);
    auto found = g_keys.find(cache_key);
    if (found != g_keys.end() && found->second.size() <= capacity) {
      std::memcpy(key, found->second.data(), found->second.size());
      *length = found->second.size();
      return kOk;
    }
  }
  u_char derived[USM_LENGTH_KU_HASHBLOCK];
  size_t derived_length = sizeof(derived);
  int rc = generate_Ku(protocol.id, static_cast<u_int>(protocol.length),
                       reinterpret_cast<const u_char*>(pass_phrase), std::strlen(pass_phrase),
                       derived, &derived_length);
  if (rc != SNMPERR_SUCCESS || derived_length > capacity) {
    explicit_bzero(derived, sizeof(derived));
    return rc != SNMPERR_SUCCESS ? v3_open_error_result(rc) : kErrInvalidArg;
  }
  std::memcpy(key, derived, derived_length);
  *length = derived_length;
  std::lock_guard<std::mutex> lock(g_key_mutex);
  if (g_keys.size() >= kKeyCacheLimit) clear_keys();
  g_keys[cache_key].assign(derived, derived + derived_length);
  explicit_bzero(derived, sizeof(derived));
  return kOk;
}

}  // namespace

WipedSettings::~WipedSettings() {
  explicit_bzero(settings_->securityAuthKey, sizeof(settings_->securityAuthKey));
  explicit_bzero(settings_->securityPrivKey, sizeof(settings_->securityPrivKey));
}

Result v3_peer_name(const IQelNetworkAddress* address, uint16_t target_port, std::string* out) {
  if (!address || !out || !address->text()) return kErrInvalidArg;
  const char* text = address->text();
  uint16_t port = address->port() != 0 ? address->port() : target_port;
  switch (address->protocol()) {
    case IQelNetworkAddress::kProtocolIpv4:
      *out = text;
      break;
    case IQelNetworkAddress::kProtocolIpv6:
      *out = std::string("udp6:[") + text + "]";
      break;
    case IQelNetworkAddress::kProtocolIpx:
      *out = std::string("ipx:") + text;
      break;
    default:
      return kErrInvalidArg;
  }
  if (port != 0) {
    *out += address->protocol() == IQelNetworkAddress::kProtocolIpx ? '/' : ':';
    *out += std::to_string(port);
  }
  return kOk;
}

Result v3_fill_session(IQesSnmpTarget* target, V3SessionTexts* texts, snmp_session* session) {
  IQesSnmpV3Target* v3 = as_snmpv3_target(target);
  if (!v3 || !texts || !session || target->version() != kSnmpVersion3) return kErrInvalidArg;
  Result rc = v3_peer_name(target->address(), target->port(), &texts->peer);
  if (rc != kOk) return rc;

  const char* name = v3->security_name();
  texts->security_name = name ? name : "";
  if (texts->security_name.size() > kSecurityNameMax) return kErrInvalidArg;
  const char* context = v3->context_name();
  texts->context_name = context ? context : "";
  texts->engine_id.clear();
  if (const IQelBuffer* engine = v3->context_engine_id(); engine && engine->length() > 0) {
    const auto* bytes = engine->data();
    texts->engine_id.assign(bytes, bytes + engine->length());
  }

  session->version = SNMP_VERSION_3;
  session->retries = target->retries();
  // An unset time-out (-1) leaves the library's default.
  if (target->timeout() >= 0) session->timeout = static_cast<long>(target->timeout()) * 1000L;
  session->peername = texts->peer.data();
  session->securityName = texts->security_name.data();
  session->securityNameLen = texts->security_name.size();
  if (!texts->context_name.empty()) {
    session->contextName = texts->context_name.data();
    session->contextNameLen = texts->context_name.size();
  }
  if (!texts->engine_id.empty()) {
    session->securityEngineID = texts->engine_id.data();
    session->securityEngineIDLen = texts->engine_id.size();
  }

  int32_t level = v3->security_level();
  if (level == kUsmNoAuthNoPriv) {
    session->securityLevel = SNMP_SEC_LEVEL_NOAUTH;
    return kOk;
  }
  if (level != kUsmAuthNoPriv && level != kUsmAuthPriv) return kErrInvalidArg;
  session->securityLevel = level == kUsmAuthPriv ? SNMP_SEC_LEVEL_AUTHPRIV : SNMP_SEC_LEVEL_AUTHNOPRIV;
  AuthProtocol auth{};
  if (!auth_protocol(v3->auth_protocol(), &auth)) return kErrInvalidArg;
  session->securityAuthProto = const_cast<oid*>(auth.id);
  session->securityAuthProtoLen = auth.length;
  rc = derive_key(v3->auth_passphrase(), v3->auth_protocol(), auth, session->securityAuthKey,
                  sizeof(session->securityAuthKey), &session->securityAuthKeyLen);
  if (rc != kOk || level != kUsmAuthPriv) return rc;

  const oid* priv = nullptr;
  size_t priv_length = 0;
  if (!priv_protocol(v3->priv_protocol(), &priv, &priv_length)) return kErrInvalidArg;
  session->securityPrivProto = const_cast<oid*>(priv);
  session->securityPrivProtoLen = priv_length;
  return derive_key(v3->priv_passphrase(), v3->auth_protocol(), auth, session->securityPrivKey,
                    sizeof(session->securityPrivKey), &session->securityPrivKeyLen);
}

}  // namespace orv::session
