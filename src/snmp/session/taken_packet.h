// The packet forms of the session calls lend the packet's PDU and target to
// the PDU form and put them back afterwards, whatever it returned.
#pragma once

#include "snmp/message/snmp_packet.h"

namespace orv::session {

class TakenPacket {
 public:
  explicit TakenPacket(IQesSnmpPacket* packet)
      : packet_(packet), pdu_(packet->detach_pdu()), target_(packet->detach_target()) {}
  ~TakenPacket() {
    packet_->set_pdu(pdu_);
    packet_->set_target(target_);
  }
  TakenPacket(const TakenPacket&) = delete;
  TakenPacket& operator=(const TakenPacket&) = delete;

  IQesPdu* pdu() const { return pdu_; }
  IQesSnmpTarget* target() const { return target_; }

 private:
  IQesSnmpPacket* packet_;
  IQesPdu* pdu_;
  IQesSnmpTarget* target_;
};

}  // namespace orv::session
