// A packet on the stack around a caller's PDU and target: the codec works on
// packets, the caller keeps its objects. Parts the codec attaches itself (a
// target made for a decode) belong to this packet and go with it.
#pragma once

#include "snmp/message/snmp_packet.h"

namespace orv {

class LentPacket final : public IQesSnmpPacket {
 public:
  LentPacket(IQesPdu* pdu, IQesSnmpTarget* target) : pdu_(pdu), target_(target) {}
  ~LentPacket() override {
    if (owns_pdu_ && pdu_) pdu_->release();
    if (owns_target_ && target_) target_->release();
  }
  LentPacket(const LentPacket&) = delete;
  LentPacket& operator=(const LentPacket&) = delete;

  // Lives on the stack; its destructor ends it.
  void release() override {}
  IQesSnmpPacket* clone(Result* status) const override;
  bool equals(const IQesSnmpPacket* other) const override;
  void set_target(IQesSnmpTarget* target) override { replace(&target_, &owns_target_, target); }
  void set_pdu(IQesPdu* pdu) override { replace(&pdu_, &owns_pdu_, pdu); }
  IQesSnmpTarget* detach_target() override { return take(&target_, &owns_target_); }
  IQesPdu* detach_pdu() override { return take(&pdu_, &owns_pdu_); }
  IQesSnmpTarget* target() const override { return target_; }
  IQesPdu* pdu() const override { return pdu_; }

 private:
  template <typename T>
  static void replace(T** slot, bool* owned, T* part) {
    if (part == *slot) return;
    if (*owned && *slot) (*slot)->release();
    *slot = part;
    *owned = true;
  }
  template <typename T>
  static T* take(T** slot, bool* owned) {
    T* part = *slot;
    *slot = nullptr;
    *owned = false;
    return part;
  }

  IQesPdu* pdu_;
  IQesSnmpTarget* target_;
  bool owns_pdu_ = false;
  bool owns_target_ = false;
};

}  // namespace orv
