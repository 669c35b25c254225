#include "snmp/message/snmp_packet.h"
#include "snmp/message/parts_equal.h"

#include <new>

namespace orv {
namespace {

class CQesSnmpPacket final : public IQesSnmpPacket {
 public:
  void release() override { delete this; }

  IQesSnmpPacket* clone(Result* status) const override {
    Result rc = kOk;
    SnmpPacketPtr copy(qes_create_snmp_packet(&rc));
    SnmpTargetPtr target;
    PduPtr pdu;
    if (copy && target_) target.reset(target_->clone(&rc));
    if (copy && rc == kOk && pdu_) pdu.reset(pdu_->clone(&rc));
    if (status) *status = rc;
    if (rc != kOk) return nullptr;
    copy->set_target(target.release());
    copy->set_pdu(pdu.release());
    return copy.release();
  }

  bool equals(const IQesSnmpPacket* other) const override {
    return other && parts_equal(pdu_.get(), other->pdu()) && parts_equal(target_.get(), other->target());
  }

  void set_target(IQesSnmpTarget* target) override {
    if (target != target_.get()) target_.reset(target);
  }
  void set_pdu(IQesPdu* pdu) override {
    if (pdu != pdu_.get()) pdu_.reset(pdu);
  }
  IQesSnmpTarget* detach_target() override { return target_.release(); }
  IQesPdu* detach_pdu() override { return pdu_.release(); }
  IQesSnmpTarget* target() const override { return target_.get(); }
  IQesPdu* pdu() const override { return pdu_.get(); }

 private:
  ~CQesSnmpPacket() override = default;

  SnmpTargetPtr target_;
  PduPtr pdu_;
};

}  // namespace

IQesSnmpPacket* qes_create_snmp_packet(Result* status) {
  IQesSnmpPacket* packet = new (std::nothrow) CQesSnmpPacket;
  if (status) *status = packet ? kOk : kErrNoMemory;
  return packet;
}

}  // namespace orv
