#include "snmp/facade/request_core.h"

#include <cstring>

#include "net/address_resolver.h"
#include "snmp/facade/max_message_size.h"
#include "snmp/facade/value_forms.h"
#include "snmp/dispatch/session_dispatcher.h"
#include "snmp/smi/smi_factory.h"

namespace orv::facade {
namespace {

// Clone of `address` for a target, which owns its own.
IQelNetworkAddress* clone_address(const NetworkAddressPtr& address, Result* status) {
  IQelNetworkAddress* copy = nullptr;
  *status = address->clone(&copy);
  return *status == kOk ? copy : nullptr;
}

}  // namespace

CQelRequestCore::CQelRequestCore() {
  copy_value_text(community_, sizeof community_, kDefaultCommunity,
                  static_cast<uint32_t>(std::strlen(kDefaultCommunity)));
}

CQelRequestCore::~CQelRequestCore() {
  address_.reset();
  pdu_.reset();
  community_target_.reset();
  usm_target_.reset();
}

void CQelRequestCore::set_community(const char* community) {
  if (community == nullptr) return;
  copy_value_text(community_, sizeof community_, community,
                  static_cast<uint32_t>(strnlen(community, sizeof community_)));
}

Result CQelRequestCore::init(const char* address, int32_t protocol, uint16_t port,
                             int32_t security_model, const QelSecurityParams* security,
                             uint32_t timeout_ms, uint32_t retries, uint32_t max_message_size) {
  if (address == nullptr) return kErrInvalidArg;
  if (security_model == kSecurityModelUsm && security == nullptr) return kErrInvalidArg;
  // A second init starts over rather than mixing two configurations.
  pdu_.reset();
  community_target_.reset();
  usm_target_.reset();

  Result rc = kOk;
  NetworkAddressPtr made(qel_create_network_address_with_protocol(
      address, static_cast<IQelNetworkAddress::EProtocol>(protocol), port, &rc));
  if (!made) return rc != kOk ? rc : kErrNoMemory;
  address_ = std::move(made);

  const uint32_t max_size = effective_max_message_size(protocol, max_message_size);
  security_model_ = security_model;

  rc = security_model == kSecurityModelUsm ? make_usm_target(address_, *security)
                                           : make_community_target(address_);
  if (rc != kOk) return rc;
  IQesSnmpTarget* target = active_target();
  set_common(target, timeout_ms, retries);
  target->set_max_message_size(max_size);

  pdu_.reset(qes_create_pdu(&rc));
  if (!pdu_) return rc != kOk ? rc : kErrNoMemory;
  return kOk;
}

void CQelRequestCore::set_common(IQesSnmpTarget* target, uint32_t timeout_ms,
                                 uint32_t retries) const {
  // The session reads both as signed; the bits pass unchanged.
  target->set_timeout(static_cast<int32_t>(timeout_ms));
  target->set_retries(static_cast<int32_t>(retries));
}

Result CQelRequestCore::make_usm_target(const NetworkAddressPtr& address,
                                        const QelSecurityParams& security) {
  Result rc = kOk;
  QelPtr<IQesSnmpV3Target> target(qes_create_snmpv3_target(&rc));
  if (!target) return rc != kOk ? rc : kErrNoMemory;
  target->set_version(session::kSnmpVersion3);
  IQelNetworkAddress* copy = clone_address(address, &rc);
  if (copy == nullptr) return rc;
  target->set_address(copy);
  // A refused setting (a user name above 32 characters) leaves the target's
  // own default; the agent then refuses the request.
  (void)target->set_security_name(security.user_name);
  target->set_security_level(security.security_level);
  target->set_auth_protocol(security.auth_protocol);
  target->set_priv_protocol(security.priv_protocol);
  (void)target->set_auth_passphrase(security.auth_pass_phrase);
  (void)target->set_priv_passphrase(security.priv_pass_phrase);
  (void)target->set_context_name(security.context_name);
  usm_target_.reset(target.release());
  return kOk;
}

Result CQelRequestCore::make_community_target(const NetworkAddressPtr& address) {
  Result rc = kOk;
  SnmpTargetPtr target(qes_create_snmp_target(kTranslateCommunity, &rc));
  if (!target) return rc != kOk ? rc : kErrNoMemory;
  // Community requests are SNMPv1 unless bulk walks were asked for, which
  // SNMPv1 lacks.
  target->set_version(max_repetitions_ != 0 ? kSnmpV2c : kSnmpV1);
  IQesCommunityTarget* community = as_community_target(target.get());
  if (community == nullptr) return kErrInvalidArg;
  rc = community->set_community(community_);
  if (rc != kOk) return rc;
  IQelNetworkAddress* copy = clone_address(address, &rc);
  if (copy == nullptr) return rc;
  target->set_address(copy);
  community_target_ = std::move(target);
  return kOk;
}

IQesSnmpTarget* CQelRequestCore::active_target() const {
  return security_model_ == kSecurityModelUsm ? usm_target_.get() : community_target_.get();
}

Result CQelRequestCore::add_binding(const char* oid, const char* suffix, SmiValuePtr value) {
  if (oid == nullptr || !value || !pdu_) return kErrInvalidArg;
  Result rc = kOk;
  OidPtr made(create_oid_from_text(oid, &rc));
  if (!made) return rc != kOk ? rc : kErrNoMemory;
  if (suffix != nullptr && *suffix != '\0') {
    rc = made->append_text(suffix);
    if (rc != kOk) return rc;
    if (!made->is_valid()) return kErrInvalidArg;
  }
  rc = pdu_->append_new(made.get(), value.get());
  if (rc != kOk) return rc;
  made.release();
  value.release();
  return kOk;
}

Result CQelRequestCore::add_null_binding(const char* oid, const char* suffix) {
  Result rc = kOk;
  SmiValuePtr null_value(create_smi_value(kSmiNull, &rc));
  if (!null_value) return rc != kOk ? rc : kErrNoMemory;
  return add_binding(oid, suffix, std::move(null_value));
}

Result CQelRequestCore::detect_protocol(const char* address, int32_t* protocol) {
  if (address == nullptr || protocol == nullptr) return kErrInvalidArg;
  IQelNetworkAddress::EProtocol found = IQelNetworkAddress::kProtocolUnspecified;
  const Result rc = qel_resolver_detect_protocol(address, &found);
  if (rc != kOk) return rc;
  *protocol = found;
  return kOk;
}

}  // namespace orv::facade
