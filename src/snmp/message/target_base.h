// The settings every target kind shares, implemented once for both kinds.
#pragma once

#include <new>
#include <string>

#include "snmp/message/snmp_target.h"

namespace orv {

// A bounded copy of a text setting; -3 when memory runs out (old kept).
inline Result copy_text(std::string* to, const char* text) {
  try {
    to->assign(text ? text : "");
  } catch (const std::bad_alloc&) {
    return kErrNoMemory;
  }
  return kOk;
}

template <typename Interface>
class CQesTargetBase : public Interface {
 public:
  void release() override { delete this; }

  void set_version(int32_t version) override { version_ = version; }
  void set_timeout(int32_t milliseconds) override { timeout_ = milliseconds; }
  void set_retries(int32_t retries) override { retries_ = retries; }
  void set_max_message_size(uint64_t size) override { max_message_size_ = size; }
  void set_port(uint16_t port) override { port_ = port; }
  int32_t version() const override { return version_; }
  int32_t timeout() const override { return timeout_; }
  int32_t retries() const override { return retries_; }
  uint64_t max_message_size() const override { return max_message_size_; }
  uint16_t port() const override { return port_; }
  void set_address(IQelNetworkAddress* address) override {
    if (address != address_.get()) address_.reset(address);
  }
  IQelNetworkAddress* address() const override { return address_.get(); }

 protected:
  // The common settings of `other`, its address cloned.
  Result copy_common(const IQesSnmpTarget* other) {
    NetworkAddressPtr address;
    if (other->address()) {
      IQelNetworkAddress* copy = nullptr;
      Result rc = other->address()->clone(&copy);
      if (rc != kOk) return rc;
      address.reset(copy);
    }
    version_ = other->version();
    timeout_ = other->timeout();
    retries_ = other->retries();
    max_message_size_ = other->max_message_size();
    port_ = other->port();
    address_ = std::move(address);
    return kOk;
  }

  // clone() of a concrete kind: a new object, then copy_from().
  template <typename Concrete>
  static IQesSnmpTarget* clone_as(const IQesSnmpTarget* self, Result* status) {
    SnmpTargetPtr copy(new (std::nothrow) Concrete);
    Result rc = copy ? copy->copy_from(self) : kErrNoMemory;
    if (status) *status = rc;
    return rc == kOk ? copy.release() : nullptr;
  }

 private:
  int32_t version_ = kSnmpVersionUnset;
  int32_t timeout_ = -1;
  int32_t retries_ = 0;
  uint64_t max_message_size_ = 0;
  uint16_t port_ = 0;
  NetworkAddressPtr address_;
};

}  // namespace orv
