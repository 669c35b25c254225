// What the observer invoker calls with each received trap.
#pragma once

#include "snmp/message/snmp_packet.h"

namespace orv {

class IQesTrapObserver {
 public:
  // Called on the invoker's thread; the packet stays the invoker's and is
  // released after every observer has seen it.
  virtual void update(IQesSnmpPacket* trap) = 0;

 protected:
  virtual ~IQesTrapObserver() = default;
};

}  // namespace orv
