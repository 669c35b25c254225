// What the get-data and find-device objects share: the request PDU, the two
// target kinds, the address, the community and the security model, and the
// configuration and binding steps both run the same way.
#pragma once

#include <cstdint>

#include "net/network_address.h"
#include "result_codes.h"
#include "snmp/facade/get_data.h"
#include "snmp/message/pdu.h"
#include "snmp/message/snmp_target.h"
#include "snmp/smi/smi_value.h"

namespace orv::facade {

inline constexpr uint32_t kCommunitySize = 256;
inline constexpr const char* kDefaultCommunity = "public";

class CQelRequestCore {
 public:
  CQelRequestCore();
  ~CQelRequestCore();
  CQelRequestCore(const CQelRequestCore&) = delete;
  CQelRequestCore& operator=(const CQelRequestCore&) = delete;

  // Bounded: at most 255 characters are kept; null keeps the current text.
  void set_community(const char* community);
  const char* community() const { return community_; }

  // Address, maximum size, security model, the one target it selects and an
  // empty request PDU. Security model 2 needs `security` (-2 without).
  Result init(const char* address, int32_t protocol, uint16_t port, int32_t security_model,
              const QelSecurityParams* security, uint32_t timeout_ms, uint32_t retries,
              uint32_t max_message_size);

  // A binding of `oid` (dotted text) followed by `suffix` (dotted text, may
  // be null or empty) with `value`, at the end of the request PDU. Null or
  // invalid texts -2; -2 also before init(). `value` is released on failure.
  Result add_binding(const char* oid, const char* suffix, SmiValuePtr value);
  // The same with a NULL value, as GET and GETNEXT carry.
  Result add_null_binding(const char* oid, const char* suffix);

  // Before init(): walks ask for up to `max_repetitions` rows a
  // GetBulkRequest, and community requests speak SNMPv2c; 0 (the default)
  // keeps SNMPv1 and GETNEXT.
  void set_max_repetitions(uint32_t max_repetitions) { max_repetitions_ = max_repetitions; }
  uint32_t max_repetitions() const { return max_repetitions_; }

  IQesPdu* pdu() const { return pdu_.get(); }
  // The USM target for security model 2, else the community target; null
  // before init().
  IQesSnmpTarget* active_target() const;
  int32_t security_model() const { return security_model_; }

  // The protocol the shared address parser finds for `address`.
  static Result detect_protocol(const char* address, int32_t* protocol);

 private:
  Result make_usm_target(const NetworkAddressPtr& address, const QelSecurityParams& security);
  Result make_community_target(const NetworkAddressPtr& address);
  void set_common(IQesSnmpTarget* target, uint32_t timeout_ms, uint32_t retries) const;

  PduPtr pdu_;
  SnmpTargetPtr community_target_;
  SnmpTargetPtr usm_target_;
  NetworkAddressPtr address_;
  char community_[kCommunitySize];
  int32_t security_model_ = 0;
  uint32_t max_repetitions_ = 0;
};

}  // namespace orv::facade
