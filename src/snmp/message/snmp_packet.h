// A packet joins a target (who is asked and how) and a PDU (what is asked).
#pragma once

#include "result_codes.h"
#include "snmp/message/pdu.h"
#include "snmp/message/snmp_target.h"

namespace orv {

class IQesSnmpPacket {
 public:
  // Slot order is part of the interface; do not reorder.
  virtual void release() = 0;                                              // 1
  // Clones of the target and the PDU; nullptr with -3.
  virtual IQesSnmpPacket* clone(Result* status = nullptr) const = 0;       // 2
  // PDUs equal or both absent, targets equal or both absent.
  virtual bool equals(const IQesSnmpPacket* other) const = 0;              // 3
  // Each setter takes its object and releases the one it replaces.
  virtual void set_target(IQesSnmpTarget* target) = 0;                     // 4
  virtual void set_pdu(IQesPdu* pdu) = 0;                                  // 5
  // Hand the parts back without destroying them.
  virtual IQesSnmpTarget* detach_target() = 0;                             // 6
  virtual IQesPdu* detach_pdu() = 0;                                       // 7
  virtual IQesSnmpTarget* target() const = 0;                              // 8
  virtual IQesPdu* pdu() const = 0;                                        // 9

 protected:
  virtual ~IQesSnmpPacket() = default;                                     // 10
};

using SnmpPacketPtr = QelPtr<IQesSnmpPacket>;

// An empty packet. `status` (optional): 0 or -3.
IQesSnmpPacket* qes_create_snmp_packet(Result* status = nullptr);

}  // namespace orv
