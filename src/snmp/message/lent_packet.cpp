#include "snmp/message/lent_packet.h"

#include "snmp/message/parts_equal.h"

namespace orv {

IQesSnmpPacket* LentPacket::clone(Result* status) const {
  Result rc = kOk;
  SnmpPacketPtr copy(qes_create_snmp_packet(&rc));
  if (copy && target_) copy->set_target(target_->clone(&rc));
  if (copy && rc == kOk && pdu_) copy->set_pdu(pdu_->clone(&rc));
  if (status) *status = rc;
  return rc == kOk ? copy.release() : nullptr;
}

bool LentPacket::equals(const IQesSnmpPacket* other) const {
  return other && parts_equal(pdu_, other->pdu()) && parts_equal(target_, other->target());
}

}  // namespace orv
