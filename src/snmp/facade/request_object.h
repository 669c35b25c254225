// The operations the get-data and find-device objects answer alike, over
// the request core they both hold.
#pragma once

#include "snmp/facade/exchange.h"
#include "snmp/facade/request_core.h"

namespace orv::facade {

template <typename Interface>
class CQelRequestObject : public Interface {
 public:
  void release() override { delete this; }

  void set_community(const char* community) override { core_.set_community(community); }

  int32_t init(const char* address, int32_t protocol, uint16_t port, int32_t security_model,
               const QelSecurityParams* security, uint32_t timeout_ms, uint32_t retries,
               uint32_t max_message_size) override {
    return core_.init(address, protocol, port, security_model, security, timeout_ms, retries,
                      max_message_size);
  }

  int32_t get_protocol(const char* address, int32_t* protocol) override {
    return CQelRequestCore::detect_protocol(address, protocol);
  }

 protected:
  ~CQelRequestObject() override = default;

  // Runs `run(exchange, pdu, target)` on a dispatcher made for this one
  // operation; -2 before init().
  template <typename Run>
  Result with_exchange(Run&& run) {
    if (core_.pdu() == nullptr || core_.active_target() == nullptr) return kErrInvalidArg;
    CQelExchange exchange;
    const Result rc = exchange.open();
    if (rc != kOk) return rc;
    return run(exchange, core_.pdu(), core_.active_target());
  }

  CQelRequestCore core_;
};

}  // namespace orv::facade
