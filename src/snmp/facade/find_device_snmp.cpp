#include "snmp/facade/find_device_snmp.h"

#include <new>

#include "snmp/facade/request_object.h"
#include "snmp/message/codec_log.h"

namespace orv::facade {
namespace {

class CQelFindDeviceSnmp final : public CQelRequestObject<IQelFindDeviceSnmp> {
 public:
  // Everything asked by broadcast is a scalar instance.
  int32_t add_oid_string(const char* oid) override { return core_.add_null_binding(oid, "0"); }

  int32_t send_broad_cast(IQesSnmpPacketList** answers) override {
    snmp_log().log(log::kTrace, "[%s] enter.", "IQelFindDeviceSnmp::send_broad_cast");
    Result rc = broadcast(answers);
    snmp_log().log(log::kTrace, "[%s] exit.", "IQelFindDeviceSnmp::send_broad_cast");
    return rc;
  }

  ~CQelFindDeviceSnmp() override = default;

 private:
  Result broadcast(IQesSnmpPacketList** answers) {
    if (answers == nullptr) return kErrInvalidArg;
    return with_exchange([answers](CQelExchange& exchange, IQesPdu* pdu, IQesSnmpTarget* target) {
      return exchange.broadcast(pdu, target, answers);
    });
  }
};

}  // namespace
}  // namespace orv::facade

IQelFindDeviceSnmp* qel_create_find_device_snmp(int32_t* result) {
  IQelFindDeviceSnmp* made = new (std::nothrow) orv::facade::CQelFindDeviceSnmp;
  if (result != nullptr) *result = made != nullptr ? orv::kOk : orv::kErrNoMemory;
  return made;
}
